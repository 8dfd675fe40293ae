#pragma once

#include <windows.h>

// The GDI objects the control has made and not yet deleted (fonts, brushes, pens, bitmaps and
// memory device contexts), counted where they are made and deleted: a host that keeps the
// panel all day must find the count back where it was, and Wine counts no GDI objects for a
// process. Every object of the control is made through Counted and deleted through Delete.
namespace infotrakon::ocx {

void CountMade();
void CountDeleted();
// The objects made and not deleted.
long LiveGdiObjects();

template <typename Object>
Object Counted(Object made) {
    if (made != nullptr) CountMade();
    return made;
}

inline void Delete(HGDIOBJ object) {
    if (object != nullptr && DeleteObject(object)) CountDeleted();
}

inline void Delete(HDC dc) {
    if (dc != nullptr && DeleteDC(dc)) CountDeleted();
}

}  // namespace infotrakon::ocx
