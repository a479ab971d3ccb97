// Keeps a library target valid while its source folders are empty.
