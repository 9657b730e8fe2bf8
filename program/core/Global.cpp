#include "program/core/Global.h"

#include "program/core/ConfigClass.h"
#include "platform/Values.h"

#include "platform/AppIdentity.h"
#include "platform/Captions.h"
#include "platform/ControlArray.h"
#include "platform/Cp1252.h"
#include "platform/Forms.h"
#include "platform/Guard.h"
#include "platform/Process.h"
#include "platform/RtError.h"
#include "platform/Screen.h"
#include "platform/ScreenParts.h"
#include "platform/SoundPlayer.h"
#include "program/core/Globals.h"

#include <QFileInfo>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QHeaderView>
#include <QIODevice>
#include <QLabel>
#include <QLayout>
#include <QPainter>
#include <QStringList>
#include <QTableView>
#include <QTreeView>
#include <QWidget>
#include <QtEndian>

#include <array>
#include <cerrno>
#include <filesystem>
#include <system_error>
#include <vector>

namespace Global {

namespace {

constexpr int kDesignWidth = 800;
constexpr int kDesignHeight = 600;
constexpr double kFontShrink = 0.99;
constexpr double kFontFactorFloor = 0.5;

// The horn level sounding now; 0 when silent.
int g_hornLevel = 0;

// The screen size that scaling reads, once taken or set.
std::optional<QSize>& scalingScreen()
{
    static std::optional<QSize> screen;
    return screen;
}

// The sound number that the configuration gives an alarm priority (0, no
// sound file, before a configuration exists).
int soundNumberOfPriority(int level)
{
    return gConfig ? gConfig->AlarmPrioSound(int16_t(level)) : 0;
}

// ---- Scaling ---------------------------------------------------------------

bool layoutHolds(const QLayout* layout, const QWidget* w)
{
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem* item = layout->itemAt(i);
        if (item->widget() == w)
            return true;
        if (item->layout() && layoutHolds(item->layout(), w))
            return true;
    }
    return false;
}

// A control that its parent's layout places: its geometry is the layout's.
bool placedByLayout(const QWidget* w)
{
    const QWidget* parent = w->parentWidget();
    return parent && parent->layout() && layoutHolds(parent->layout(), w);
}

QFont scaledFont(QFont font, double ratio)
{
    const bool byPoints = font.pointSizeF() > 0;
    const double target = (byPoints ? font.pointSizeF() : font.pixelSize()) * ratio;
    if (target <= 0)
        return font;
    // The size the font system grants may be above the one asked for: shrink
    // the request until it fits, but never below half.
    double factor = 1.0;
    for (;;) {
        const double asked = target * factor;
        if (byPoints)
            font.setPointSizeF(asked);
        else
            font.setPixelSize(std::max(1, int(asked)));
        const QFontInfo granted(font);
        const double got = byPoints ? granted.pointSizeF() : granted.pixelSize();
        if (got <= target + 1e-6 || factor * kFontShrink <= kFontFactorFloor)
            break;
        factor *= kFontShrink;
    }
    return font;
}

void scaleHeader(QHeaderView* header, double ratio)
{
    if (!header)
        return;
    for (int i = 0; i < header->count(); ++i)
        header->resizeSection(i, qRound(header->sectionSize(i) * ratio));
}

void scaleControl(QWidget* w, const QFont& originalFont, double h, double v)
{
    if (auto* label = qobject_cast<QLabel*>(w); label && !label->pixmap().isNull())
        label->setScaledContents(true);

    const bool fixed = w->minimumSize() == w->maximumSize();
    const QRect g = plat::ScreenParts::scaled(w->geometry(), h, v);
    if (fixed)
        w->setFixedSize(g.size());
    if (!placedByLayout(w))
        w->setGeometry(g);

    if (auto* grid = qobject_cast<QTableView*>(w)) {
        scaleHeader(grid->horizontalHeader(), h);
        scaleHeader(grid->verticalHeader(), v);
        // Rows added after the load get the scaled height too.
        grid->verticalHeader()->setDefaultSectionSize(qRound(grid->verticalHeader()->defaultSectionSize() * v));
    } else if (auto* list = qobject_cast<QTreeView*>(w)) {
        scaleHeader(list->header(), h);
    }

    w->setFont(scaledFont(originalFont, v));
}

void scaleForm(QWidget* form, double h, double v)
{
    const QRect scaled = plat::ScreenParts::scaled(form->geometry(), h, v);
    if (form->minimumSize() == form->maximumSize())
        form->setFixedSize(scaled.size());
    if (form->isWindow() || !placedByLayout(form)) {
        form->move(scaled.topLeft());
        form->resize(scaled.size());
    }

    // Fonts are taken before any change: a control that inherits its
    // parent's font would otherwise be scaled twice.
    const QList<QWidget*> controls = form->findChildren<QWidget*>();
    std::vector<QFont> fonts;
    fonts.reserve(controls.size());
    for (QWidget* w : controls)
        fonts.push_back(w->font());

    for (qsizetype i = 0; i < controls.size(); ++i) {
        QWidget* w = controls.at(i);
        // A window of its own (a dialog owned by the form) is not a control.
        if (w->isWindow())
            continue;
        try {
            scaleControl(w, fonts[size_t(i)], h, v);
        } catch (...) {
            // One control that cannot be scaled keeps its look; the others go on.
        }
    }

    if (auto* back = form->findChild<QLabel*>("imgBackPicture")) {
        back->setScaledContents(true);
        back->setGeometry(form->rect());
        back->lower();
    }
}

// ---- Paragraphs ------------------------------------------------------------

bool isBreak(QChar c)
{
    return c == u'\r' || c == u'\n';
}

} // namespace

QString ModuleName(int model)
{
    static const std::array<QString, 6> names{"-----", "K7150", "K6200TX", "K7100", "T7100", "T7150"};
    return model >= 0 && model < int(names.size()) ? names[model] : QString();
}

QString LeftFormat(const QString& value, int width)
{
    QString result;
    plat::guard("Global.LeftFormat", [&] {
        if (width < 0)
            plat::raise(plat::rt::InvalidProcedureCall);
        result = value.left(width).leftJustified(width, u' ');
    });
    return result;
}

QString RightFormat(const QString& value, int width)
{
    QString result;
    plat::guard("Global.RightFormat", [&] {
        if (width < 0)
            plat::raise(plat::rt::InvalidProcedureCall);
        result = value.right(width).rightJustified(width, u' ');
    });
    return result;
}

const QStringList& ReactivTimes()
{
    static const QStringList times{"00:01", "00:05", "00:10", "00:30", "01:00", "12:00", "24:00", "36:00"};
    return times;
}

QString ReactivTime(int code)
{
    if (code < 1)
        return {};
    const QStringList& times = ReactivTimes();
    return times.at(std::min<qsizetype>(code, times.size()) - 1);
}

std::optional<int> ReactivTimeCode(const QString& text)
{
    const QString wanted = plat::Trim(text);
    const QStringList& times = ReactivTimes();
    for (int i = 0; i < times.size(); ++i)
        if (plat::Trim(times.at(i)).compare(wanted, Qt::CaseInsensitive) == 0)
            return i + 1;
    return std::nullopt;
}

void Alarme(int level)
{
    plat::guard("Global.Alarme", [&] {
        if (level == -1) {
            g_hornLevel = 0;
            plat::soundPlayer().stop();
            return;
        }
        // A sounding horn is only replaced by a higher priority.
        if (level <= g_hornLevel)
            return;
        g_hornLevel = level;
        plat::soundPlayer().playLoop(AlarmSoundFile(soundNumberOfPriority(level)));
    });
}

int HornLevel()
{
    return g_hornLevel;
}

QString AlarmSoundFile(int soundNumber)
{
    return plat::AppIdentity::programFolder() + "/AlarmSound" + QString::number(soundNumber) + ".wav";
}

QSize ScalingScreen()
{
    std::optional<QSize>& screen = scalingScreen();
    if (!screen)
        screen = QSize(plat::Screen::WidthTwips() / plat::kTwipsPerPixel,
                       plat::Screen::HeightTwips() / plat::kTwipsPerPixel);
    return *screen;
}

void SetScalingScreen(QSize screenPixels)
{
    scalingScreen() = screenPixels;
}

bool MiseAEchelle(QWidget* form)
{
    return MiseAEchelle(form, ScalingScreen());
}

bool MiseAEchelle(QWidget* form, QSize screenPixels)
{
    bool rescaled = false;
    plat::guard("Global.MiseAEchelle", [&] {
        if (gNoResize || !form)
            return;
        const double h = double(screenPixels.width()) / kDesignWidth;
        const double v = double(screenPixels.height()) / kDesignHeight;
        if (h == 1.0 && v == 1.0)
            return;
        scaleForm(form, h, v);
        // What the form paints itself follows its controls.
        plat::ScreenParts::setRatios(form, h, v);
        rescaled = true;
    });
    return rescaled;
}

void OmbrerTexte(plat::ControlArray<QLabel>& labels, int dx, int dy)
{
    plat::guard("Global.OmbrerTexte", [&] {
        std::vector<QLabel*> faces;
        for (const auto& [index, label] : labels)
            faces.push_back(label);
        int next = labels.ubound() + 1;
        for (QLabel* face : faces) {
            auto* shadow = new QLabel(face->parentWidget());
            shadow->setFont(face->font());
            shadow->setAlignment(face->alignment());
            shadow->setWordWrap(face->wordWrap());
            shadow->setText(face->text());
            plat::setTag(shadow, face->property("Tag"));
            shadow->setGeometry(face->geometry().translated(dx, dy));
            QPalette pal = shadow->palette();
            pal.setColor(QPalette::WindowText, Qt::black);
            shadow->setPalette(pal);
            shadow->setAttribute(Qt::WA_TranslucentBackground);
            shadow->setAutoFillBackground(false);
            shadow->stackUnder(face);
            plat::markShadow(shadow, face);
            shadow->setVisible(!face->isHidden());
            labels.add(next++, shadow);
        }
    });
}

double PainterSurface::TextWidth(const QString& text) const
{
    return QFontMetricsF(m_painter.font(), m_painter.device()).horizontalAdvance(text);
}

void PainterSurface::Print(const QString& text, bool newLine)
{
    const QFontMetricsF fm(m_painter.font(), m_painter.device());
    m_painter.drawText(QPointF(m_x, m_y + fm.ascent()), text);
    if (newLine) {
        m_x = 0;
        m_y += fm.lineSpacing();
    } else {
        m_x += fm.horizontalAdvance(text);
    }
}

void PrintParagraph(PrintSurface& surface, const QString& text, double x, double width)
{
    plat::guard("Global.PrintParagraph", [&] {
        if (width < 0)
            return;
        if (text.isEmpty()) {
            PrintAt(surface, x, std::nullopt, QString(), true);
            return;
        }
        const qsizetype n = text.size();
        qsizetype pos = 0;
        while (pos < n) {
            // The longest piece narrower than the width, up to a line break.
            qsizetype end = pos;
            while (end < n && !isBreak(text.at(end)) && surface.TextWidth(text.mid(pos, end - pos + 1)) < width)
                ++end;
            // Even a character wider than the line takes a line of its own, so the text always moves on.
            if (end == pos && !isBreak(text.at(end)))
                ++end;
            qsizetype next = end;
            if (end < n && isBreak(text.at(end))) {
                // CR LF is one line break.
                next = end + 1;
                if (text.at(end) == u'\r' && next < n && text.at(next) == u'\n')
                    ++next;
            } else if (end < n) {
                // A full piece goes back to its last space; one without a space
                // stays whole, and the space that follows it is the break.
                const qsizetype space = text.lastIndexOf(u' ', end - 1);
                if (space > pos) {
                    end = space;
                    next = space + 1;
                } else if (text.at(end) == u' ') {
                    next = end + 1;
                }
            }
            PrintAt(surface, x, std::nullopt, text.mid(pos, end - pos), true);
            pos = next;
        }
    });
}

void PrintAt(PrintSurface& surface, std::optional<double> x, std::optional<double> y, const QString& text,
             bool newLine)
{
    plat::guard("Global.PrintAt", [&] {
        if (x)
            surface.setCurrentX(*x);
        if (y)
            surface.setCurrentY(*y);
        surface.Print(text, newLine);
    });
}

int NbInstances(const QString& formName)
{
    int n = 0;
    plat::guard("Global.NbInstances", [&] { n = plat::Forms::Count(formName); });
    return n;
}

bool CreateFolderPath(const QString& path)
{
    // A path that names nothing has no drive to create it on.
    if (path.trimmed().isEmpty())
        return false;
    const std::filesystem::path p(path.toStdString());
    std::error_code ec;
    std::filesystem::create_directories(p, ec);
    if (ec)
        throw plat::errnoError(ec.value());
    if (!QFileInfo(path).isDir())
        throw plat::errnoError(EEXIST);
    return true;
}

int KillProcess(const QString& exeName)
{
    int ended = 0;
    plat::guard("Global.KillProcess", [&] { ended = plat::Process::terminateStarted(exeName); });
    return ended;
}

bool PutString(QIODevice& file, const QString& text)
{
    if (!file.isOpen() || !file.isWritable())
        plat::raise(plat::rt::BadFileMode);
    const QByteArray bytes = plat::Cp1252::encode(text);
    char count[4];
    qToLittleEndian<qint32>(qint32(bytes.size()), count);
    if (file.write(count, 4) != 4)
        plat::raise(plat::rt::DeviceIOError);
    if (!bytes.isEmpty() && file.write(bytes) != bytes.size())
        plat::raise(plat::rt::DeviceIOError);
    return true;
}

bool GetString(QIODevice& file, QString& text, bool trim)
{
    if (!file.isOpen() || !file.isReadable())
        plat::raise(plat::rt::BadFileMode);
    char countBytes[4];
    if (file.read(countBytes, 4) != 4)
        plat::raise(plat::rt::InputPastEndOfFile);
    const qint32 count = qFromLittleEndian<qint32>(countBytes);
    // A damaged file must not make us allocate what it claims.
    if (count < 0)
        plat::raise(plat::rt::BadRecordNumber);
    if (count > file.bytesAvailable())
        plat::raise(plat::rt::InputPastEndOfFile);
    QByteArray bytes;
    if (count > 0) {
        bytes = file.read(count);
        if (bytes.size() != count)
            plat::raise(plat::rt::InputPastEndOfFile);
    }
    const QString read = plat::Cp1252::decode(bytes);
    text = trim ? plat::Trim(read) : read;
    return true;
}

QString PasswordMask(const QString& text, unsigned char key)
{
    QString result;
    plat::guard("Global.PasswordMask", [&] {
        QByteArray bytes = plat::Cp1252::encode(text);
        for (char& b : bytes)
            b = char(static_cast<unsigned char>(b) ^ key);
        result = plat::Cp1252::decode(bytes);
    });
    return result;
}

long BinToDec(const QString& digits, bool sixteenBits)
{
    long result = 0;
    plat::guard("Global.BinToDec", [&] {
        const int bits = sixteenBits ? 16 : 32;
        const QString s = digits.right(bits).rightJustified(bits, u'0');
        for (int k = 0; k < bits; ++k) {
            const QChar c = s.at(bits - 1 - k);
            // Any digit but 0 counts its own value at its place ("2" counts twice).
            if (c != u'0' && c.isDigit() && c.unicode() < 128)
                result += long(c.digitValue()) << k;
        }
    });
    return result;
}

} // namespace Global
