#pragma once
// The rules of the bus overview's page of 16 tiles (4 columns by 4 rows):
// which module the first tile stands for, the page steps and their buttons,
// and what each tile shows. The first module is kept within 1..49, so every
// tile stands for one of the 64 modules.

#include "program/core/Limits.h"

#include <QString>
#include <cstdint>

class PanelClass;

class BusPage {
public:
    static constexpr int Columns = 4;
    static constexpr int Rows = 4;
    static constexpr int Tiles = Columns * Rows;
    static constexpr int FirstPage = 1;
    static constexpr int LastPage = Limits::Modules - Tiles + 1;

    // The first module that the INI value names: its number, bounded to a
    // page; a text that is no number reads as the first page.
    static int FirstFromIni(const QString& value);
    static int Bound(double first);
    // One page back or on, never past the first or the last page.
    static int Previous(int first);
    static int Next(int first);
    // Whether the page buttons are shown: not on the end pages.
    static bool PreviousShown(int first);
    static bool NextShown(int first);

    struct Tile {
        QString number; // two digits
        QString model; // the model's name ("-----" for none)
        QString title; // "|" as a line break
        int32_t titleColor; // 0x00BBGGRR
        bool crossed; // no model, or switched off
    };
    static Tile TileOf(int module, const PanelClass& panel);
};
