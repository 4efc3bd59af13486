#pragma once

namespace vell {

// The design panel's fixed size in pixels; it stands for the game screen,
// whose centre is an object's 0, 0.
constexpr int kPanelWidth = 633;
constexpr int kPanelHeight = 353;

} // namespace vell
