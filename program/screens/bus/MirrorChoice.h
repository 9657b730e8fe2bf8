#pragma once
// The rules of the mirror edit dialog, without its window: the six captions
// the callers set and read, which source channels and types a module model
// allows, what each of the eight arrows does, and when OK is refused. Each
// caption set runs its change rule at once, so a caller's presets cascade in
// the order it makes them, as the user's touches do.

#include <QString>

#include <memory>

class MirrorClass;
class PanelClass;

class MirrorChoice {
public:
    // The arrows (imgPlusMoins): down and up of the source module, the source
    // channel, the destination module and the destination channel.
    enum Button {
        SourceModuleDown = 0,
        SourceModuleUp,
        SourceChannelDown,
        SourceChannelUp,
        DestModuleDown,
        DestModuleUp,
        DestChannelDown,
        DestChannelUp,
        Buttons
    };
    // A destination that takes no channel mirror shows this as its channel.
    static const QString NoDestChannel;

    // What OK gives: channel 0 is the whole module.
    struct Mirror {
        int fromModule = 0;
        int fromChannel = 0;
        int toModule = 0;
        int toChannel = 0;
        int mirrorType = 0;
        bool operator==(const Mirror&) const = default;
    };

    // Whether a caption is a number, and its value: 0 for anything that is
    // not one ("", gNoChannelText, "---").
    static bool IsNumber(const QString& caption);
    static int Number(const QString& caption);

    // The module whose model and channel count rule the source side. A
    // caller's working module is kept while the source number is its own, so
    // a model changed but not yet saved counts.
    std::shared_ptr<PanelClass> Panel() const { return m_panel; }
    void setPanel(std::shared_ptr<PanelClass> panel) { m_panel = std::move(panel); }

    const QString& SrceModNo() const { return m_srceModNo; }
    void setSrceModNo(const QString& caption);
    const QString& SrceModType() const { return m_srceModType; }
    void setSrceModType(const QString& caption) { m_srceModType = caption; }
    const QString& SrceChnlNo() const { return m_srceChnlNo; }
    void setSrceChnlNo(const QString& caption);
    const QString& DestModNo() const { return m_destModNo; }
    void setDestModNo(const QString& caption);
    const QString& DestModType() const { return m_destModType; }
    void setDestModType(const QString& caption) { m_destModType = caption; }
    const QString& DestChnlNo() const { return m_destChnlNo; }
    void setDestChnlNo(const QString& caption) { m_destChnlNo = caption; }

    // The source channel arrows; the type options and the destination channel
    // (shown together, only for a single source channel).
    bool SourceChannelButtons() const { return m_sourceChannelButtons; }
    bool ChannelGroups() const { return m_channelGroups; }

    // The type options 1 and 2: one at most, both may be clear.
    bool Option(int type) const { return m_option == type; }
    void setOption(int type, bool on);

    // One touch of an arrow.
    void Press(int button);

    // OK: false when the choice is incomplete; else MirrorType is set.
    bool Accept();
    int MirrorType() const { return m_mirrorType; }
    // The mirror chosen, as the captions read. A destination channel hidden
    // with its group (the source is the whole module) reads 0.
    Mirror Chosen() const;
    // The same as a mirror of the configuration's list.
    MirrorClass ChosenMirror() const;

private:
    // Module n of the configuration; none outside 1..64.
    static std::shared_ptr<PanelClass> configModule(int n);
    // The module of a destination number: the working module when it is its
    // number, else the configuration's.
    std::shared_ptr<PanelClass> module(int n) const;
    static QString modelName(const std::shared_ptr<PanelClass>& panel);

    std::shared_ptr<PanelClass> m_panel;
    QString m_srceModNo;
    QString m_srceModType;
    QString m_srceChnlNo;
    QString m_destModNo;
    QString m_destModType;
    QString m_destChnlNo;
    bool m_sourceChannelButtons = false;
    bool m_channelGroups = false;
    int m_option = 0;
    int m_mirrorType = 0;
};
