#pragma once

// The codes of the released keys the review windows and their engines act on, as a form's key-up
// handler receives them (widgets/FormKeys.h makes them from the keyboard's keys).
namespace keycode {

constexpr int PageUp = 33;
constexpr int PageDown = 34;
constexpr int Delete = 46;

} // namespace keycode
