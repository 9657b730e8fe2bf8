#include "program/runtime/dlgConsigne.h"

#include "platform/Captions.h"
#include "platform/Forms.h"
#include "platform/Guard.h"
#include "platform/RtError.h"
#include "platform/ScreenParts.h"
#include "platform/Theme.h"
#include "platform/Values.h"
#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/Globals.h"
#include "program/runtime/RuntimeLook.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>

namespace {

constexpr int kWidth = 760;
constexpr int kHeight = 520;
constexpr int kMargin = 16;
constexpr int kBand = 8;

QString withBreaks(QString text)
{
    return text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

} // namespace

dlgConsigne::dlgConsigne() : plat::Form(FormNames::dlgConsigne)
{
    setFixedSize(kWidth, kHeight);
    // A band on top and a frame, as the program's other dialogs have.
    plat::ScreenParts::state(this, {plat::Theme::window(), {{0, kBand, plat::Theme::accent()}}, 2,
                                    plat::Theme::buttonBorder()});
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setDialog(true);

    lblAlarm = new QLabel(this);
    lblAlarm->setObjectName(QStringLiteral("lblAlarm"));
    lblAlarm->setFont(plat::Theme::fixedFont(11, true));
    lblAlarm->setGeometry(kMargin, kBand + kMargin, kWidth - 2 * kMargin, 36);
    lblAlarm->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    plat::markValue(lblAlarm);

    scrConsigne = new QScrollArea(this);
    scrConsigne->setObjectName(QStringLiteral("scrConsigne"));
    scrConsigne->setGeometry(kMargin, 68, kWidth - 2 * kMargin, kHeight - 68 - 96);
    scrConsigne->setWidgetResizable(true);
    scrConsigne->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    lblConsigne = new QLabel;
    lblConsigne->setObjectName(QStringLiteral("lblConsigne"));
    plat::markValue(lblConsigne);
    lblConsigne->setFont(plat::Theme::fixedFont(12));
    lblConsigne->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblConsigne->setWordWrap(true);
    lblConsigne->setTextFormat(Qt::PlainText);
    lblConsigne->setMargin(8);
    lblConsigne->setAutoFillBackground(true);
    scrConsigne->setWidget(lblConsigne);

    imgClose = RuntimeLook::button(this, "imgClose", "cancel", {kWidth - kMargin - 200, kHeight - 80, 72, 64});
    connect(imgClose, &QAbstractButton::clicked, this, [this] { imgClose_Click(); });

    lblLabels = new QLabel(this);
    lblLabels->setObjectName(QStringLiteral("lblLabels"));
    lblLabels->setFont(plat::Theme::font(14, true));
    lblLabels->setGeometry(kWidth - kMargin - 120, kHeight - 80, 120, 64);
    lblLabels->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    plat::setTag(lblLabels, 51042);

    cmdClose = new QPushButton(this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->hide();
    connect(cmdClose, &QAbstractButton::clicked, this, [this] { cmdClose_Click(); });
}

QString dlgConsigne::InstructionText(int n)
{
    const QString text = plat::Trim(QString(gConfig->Consigne(n)).replace(QChar(0), QLatin1Char(' ')));
    return text.isEmpty() ? Config::GetText(710021) : text;
}

void dlgConsigne::Open(QWidget* owner, const QString& alarm, const QString& consigne)
{
    auto* dlg = qobject_cast<dlgConsigne*>(plat::Forms::Get(FormNames::dlgConsigne));
    if (!dlg)
        plat::raise(plat::rt::ObjectDoesNotSupport);
    dlg->setAlarm(alarm);
    dlg->setConsigne(consigne);
    dlg->Show(true, owner);
}

void dlgConsigne::setAlarm(const QString& line)
{
    lblAlarm->setText(withBreaks(line));
}

void dlgConsigne::setConsigne(const QString& text)
{
    lblConsigne->setText(withBreaks(text));
}

void dlgConsigne::Form_Load()
{
    plat::guard(QStringLiteral("dlgConsigne.Form_Load"), [&] { Nationality(); });
}

void dlgConsigne::imgClose_Click()
{
    plat::guard(QStringLiteral("dlgConsigne.imgClose_Click"), [&] { plat::Forms::Unload(this); });
}

void dlgConsigne::cmdClose_Click()
{
    plat::guard(QStringLiteral("dlgConsigne.cmdClose_Click"), [&] { plat::Forms::Unload(this); });
}

void dlgConsigne::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        cmdClose->click();
        return;
    }
    plat::Form::keyPressEvent(event);
}

void dlgConsigne::paintEvent(QPaintEvent*)
{
    plat::ScreenParts::paint(this);
}
