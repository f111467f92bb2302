// Stand-in pictures until the menu art lands: plain frames of the right size.
#include "Art.h"
#include "ArtSizes.h"

TPicture DrawMenuEntry(int entry)
{
    const TSize s = EntrySize(entry);
    cairo_surface_t* c = NewCanvas(s.Width, s.Height);
    cairo_t* cr = cairo_create(c);
    cairo_set_source_rgb(cr, 0.2, 0.5, 0.2);
    cairo_rectangle(cr, 1, 1, s.Width - 2, s.Height - 2);
    cairo_stroke(cr);
    cairo_destroy(cr);
    TPicture p = Flatten(c, Magenta);
    cairo_surface_destroy(c);
    return p;
}
