// Filled in by the work that builds this unit.
