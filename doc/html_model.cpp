// Placeholder until the document model lands.
