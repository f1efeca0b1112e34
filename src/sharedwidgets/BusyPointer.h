#pragma once

#include <Qt>

// The whole program's pointer while something works, in one shape: set once and taken back once
// however often either is asked for, and taken back at the end at the latest.
class BusyPointer {
public:
    explicit BusyPointer(Qt::CursorShape shape) : m_shape(shape) {}
    ~BusyPointer() { show(false); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

    void show(bool busy);
    bool isShown() const { return m_shown; }

private:
    const Qt::CursorShape m_shape;
    bool m_shown = false;
};
