#pragma once
// What the screens showing one module's channel lamps share (the remote
// command screen, the technician's live module state): the module they are
// laid out for with its number and model in lblModType, a read timer and a
// blink timer that stop when the screen goes, and captions applied under the
// screen's own name. Each screen lays out its channel rows.

#include "platform/ControlArray.h"
#include "platform/Form.h"
#include "platform/FormTimer.h"

#include <memory>

class PanelClass;
class QLabel;

class ModuleLampScreen : public plat::Form {
    Q_OBJECT
public:
    // The module (gConfig's own object): lays the screen out for it.
    void setPanel(std::shared_ptr<PanelClass> panel);
    std::shared_ptr<PanelClass> Panel() const { return mPanel; }

    // Closed by any way, the screen reads no more states.
    void Form_Unload() override;
    void Nationality() override;
    virtual void tmrPoll_Timer() = 0;
    virtual void tmrClign_Timer() = 0;

    plat::ControlArray<QLabel> lblModType{QStringLiteral("lblModType")};
    plat::FormTimer* tmrPoll = nullptr;
    plat::FormTimer* tmrClign = nullptr;

protected:
    explicit ModuleLampScreen(const QString& name);
    void buildTimers(int pollIntervalMs, int clignIntervalMs);
    // The channel rows of mPanel, once its number and model show.
    virtual void layOutChannels() = 0;

    std::shared_ptr<PanelClass> mPanel;

private:
    void MiseEnFormeModule(std::shared_ptr<PanelClass> panel);
};
