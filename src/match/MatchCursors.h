#pragma once

#include <functional>

class SqlRecordSet;
enum class SearchDirection;

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

// One step of a review walk: backward to the previous untagged record; forward through the
// given stepper (the pre-match cycle's, with its pause and progress) or to the next untagged one.
void stepUntagged(SqlRecordSet& files, SearchDirection direction, const std::function<void()>& forwardStep);
// Whether a walk in that direction has run off its end.
bool walkedOff(const SqlRecordSet& files, SearchDirection direction);
