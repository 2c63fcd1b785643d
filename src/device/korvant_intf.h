#pragma once
// Placeholder binding: never loaded until the device library loader lands.
namespace korvant {
class KorvantIntf {
public:
    bool loaded() const { return false; }
};
} // namespace korvant
