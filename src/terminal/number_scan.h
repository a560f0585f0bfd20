// Numbers as the C formatted reader scans them from typed input ("%d" and
// "%f"), one byte at a time from the queue, taking only what belongs to the
// number: the sign, the digits, a point and an exponent.
#pragma once

#include "terminal/byte_queue.h"

namespace rb {

// An integer; out of range it is clamped to int's range. False, with
// nothing taken but a sign, when no digit follows.
bool scanInt(ByteQueue& in, int& value);

// A single-precision real, rounded as converting the whole text would,
// beyond FLT_MAX clamped to it. False when no digit comes.
bool scanFloat(ByteQueue& in, float& value);

}  // namespace rb
