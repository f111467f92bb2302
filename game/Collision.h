// The one collision test of the game world: two boxes collide when their
// intersection is not empty. Boxes that only touch along an edge do not.
#pragma once
#include "platform/DDraw.h"

inline bool Collide(const TRect& a, const TRect& b)
{
    if (a.Left >= a.Right || a.Top >= a.Bottom || b.Left >= b.Right || b.Top >= b.Bottom)
        return false; // an empty box meets nothing
    return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

// The intersection of two colliding boxes.
inline TRect Intersection(const TRect& a, const TRect& b)
{
    return TRect{a.Left > b.Left ? a.Left : b.Left, a.Top > b.Top ? a.Top : b.Top,
                 a.Right < b.Right ? a.Right : b.Right, a.Bottom < b.Bottom ? a.Bottom : b.Bottom};
}
