// GridMessages: the messages of the grid model that are raised elsewhere too,
// each text in one place. Internal to the toolkit: the file-to-file
// resampling raises the lookups' failures of a walk it plans from a header.
#ifndef QUILLMAP_GRID_GRIDMESSAGES_H
#define QUILLMAP_GRID_GRIDMESSAGES_H

inline const char* const kGetPointRange = "Index is out of range in TAxis::GetPoint";
inline const char* const kOrdinateRange = "Ordinate is out of range in TAxis::GetIndex";

#endif
