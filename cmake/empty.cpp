// Placeholder translation unit for a library target that has no sources yet.
