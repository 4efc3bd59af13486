// The holder of the suites' precompiled headers; it compiles nothing of
// its own.
