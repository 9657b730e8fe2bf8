#pragma once
// The mirrors of one module and channel as the module editor's mirror screen
// lists them: the mirrors leaving it (each line names the destination) and
// those reaching it (each line names the source), in the list's order, a
// line for a fixed-pitch font with the mirror's ID as a number beside it;
// and the channel arrows of a model 1 module, which step through its
// channels and the whole module.

#include <QString>

#include <vector>

class MirrorClass;
class MirrorClasses;
class PanelClass;

class MirrorLines {
public:
    struct Line {
        QString text;
        qint32 id = 0;
    };
    struct Lists {
        std::vector<Line> to;
        std::vector<Line> from;
    };

    // The type letter, "-", the module letter and number, "-", the channel
    // letter and number (or the whole module's text), two blanks and the
    // module's title: of the destination when destination is true, else of
    // the source. The title of the shown module comes from panel (the
    // editor's working copy), any other from the configuration.
    static QString FormatChannel(const MirrorClass& mirror, bool destination, int shownModule,
                                 const PanelClass* panel);
    // The lines of module and channel (0 the whole module). A mirror from the
    // pair to itself is listed as leaving it only.
    static Lists Fill(const MirrorClasses& list, int module, int channel, const PanelClass* panel);
    // The ID's eight digits as a number.
    static qint32 IdNumber(const QString& id);

    // The channel arrows of the shown module: down from 1 and up from its
    // last channel give the whole module (gNoChannelText), up from the whole
    // module gives 1; a module of another model than 1 shows the whole module.
    static QString ChannelDown(const QString& channel, const PanelClass& panel);
    static QString ChannelUp(const QString& channel, const PanelClass& panel);
};
