#pragma once
// The typical state of the screens that the gallery renders: one entry per
// screen, its form name and what brings the loaded form into that state. The
// gallery renders every registered form, these first and in this order; a
// new screen adds its one line to the table in GalleryEntries.cpp (a form
// without a line is drawn as it loads).

#include <QString>
#include <functional>
#include <vector>

namespace plat {
class Form;
}

struct GalleryEntry {
    QString form;
    // Sets the program's state that the form reads as it loads; may be empty.
    std::function<void()> before;
    // Runs on the loaded form before it is drawn; may be empty.
    std::function<void(plat::Form*)> prepare;
};

const std::vector<GalleryEntry>& galleryEntries();
