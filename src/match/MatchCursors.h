#pragma once

class SqlRecordSet;

// The cursor steppers of the matching windows over their mode-ordered walk: they pass over
// records whose RTAG is not " " (deleted in review) and stop at EOF (BOF going backward).
// The pre-match cycle adds its pause wait, progress texts and yield around the forward one.
void moveNextUntagged(SqlRecordSet& files);
void movePreviousUntagged(SqlRecordSet& files);
// Whether the cursor stands on a live record.
bool onLiveRecord(const SqlRecordSet& files);
// Steps the pattern candidates forward over records that are both tagged and without a usable
// pattern (PXLRAY shorter than 3 characters).
void moveNextPatUsable(SqlRecordSet& candidates);
