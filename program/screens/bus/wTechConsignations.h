#pragma once
// The technician's out-of-service screen: the modules out of service and
// the channels out of order now, and the changes the technician prepares
// (a module or channel taken out or put back), applied to the configuration
// when the technician leaves and says Yes. Nothing is saved here. Opened
// modal over the technician screen while polling goes on.

#include "program/screens/bus/OutOfService.h"

#include "platform/ControlArray.h"
#include "platform/Form.h"
#include "platform/PictureButton.h"

#include <QHash>
#include <QIcon>

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

namespace plat {
class Label;
}

class wTechConsignations : public plat::Form {
    Q_OBJECT
public:
    // The arrows of the two lists, the leave button, and the refresh call.
    static constexpr int NavigPresentPrevious = 103;
    static constexpr int NavigPresentNext = 101;
    static constexpr int NavigNewPrevious = 1;
    static constexpr int NavigNewNext = 2;
    static constexpr int NavigLeave = 5;
    static constexpr int NavigRefresh = -1;

    wTechConsignations();

    void Form_Load() override;
    void Nationality() override;
    void imgControl_Click(int index);
    void imgNavig_Click(int index);
    void imgDelete_Click();
    // The module buttons' refresh, then the channel buttons'.
    void lblModule_Click();
    void lblChannel_Change();
    void lvwPresent_ItemClick();
    void lvwNew_ItemClick();

    // The key of a module (channel 0) or of a channel.
    static QString FormatKey(int module, int channel);
    // The item of that key, or nullptr.
    static QTreeWidgetItem* GetItem(QTreeWidget* list, const QString& key);
    // The pending changes of lvwNew, in list order.
    std::vector<OutOfService::Item> PendingItems() const;

    plat::Label* lblModule = nullptr;
    plat::Label* lblChannel = nullptr;
    plat::ControlArray<QLabel> lblParams{QStringLiteral("lblParams")};
    plat::ControlArray<QLabel> lblLabels{QStringLiteral("lblLabels")};
    QTreeWidget* lvwPresent = nullptr;
    QTreeWidget* lvwNew = nullptr;
    // The lists' images by key: "PanelOut", "PanelOk", "ChannelOut", "ChannelOn".
    QHash<QString, QIcon> imlPerturb;
    plat::ControlArray<plat::PictureButton> imgControl{QStringLiteral("imgControl")};
    plat::ControlArray<plat::PictureButton> imgNavig{QStringLiteral("imgNavig")};
    plat::PictureButton* imgDelete = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTreeWidget* makeList(const QRect& geometry, const char* name);
    void buildSelectors();
    void buildNavigation();
    void AjouteItem(QTreeWidget* list, int module, int channel, OutOfService::Icon icon);
    OutOfService::Selection selection() const;
    bool pending(const QString& key) const;
    void moveIn(QTreeWidget* list, bool next);
    void showArrows(QTreeWidget* list, int previous, int next);
    void leave();
};
