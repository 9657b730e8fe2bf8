#pragma once
// A caption label whose change handler runs at once: setCaption raises Change
// before it returns, and only when the text differs. A screen that writes a
// shown value back into its data from the handler then marks nothing when a
// value is shown again as it was.

#include <QLabel>

namespace plat {

class Label : public QLabel {
    Q_OBJECT
public:
    explicit Label(QWidget* parent = nullptr);

    QString Caption() const { return text(); }
    void setCaption(const QString& caption);

signals:
    void Change();
};

} // namespace plat
