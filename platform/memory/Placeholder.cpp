// In-memory platform stand-ins live here.
