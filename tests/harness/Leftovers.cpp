#include "tests/harness/Leftovers.h"

#include "platform/Form.h"
#include "platform/Forms.h"

#include <QApplication>
#include <QDialog>
#include <QEventLoop>

namespace testing_support {

void Leftovers::OnTestStart(const testing::TestInfo&)
{
    if (!m_watch) {
        m_watch = std::make_unique<QTimer>();
        m_watch->setInterval(100);
        QObject::connect(m_watch.get(), &QTimer::timeout, [this] { lookAtTheModalWindow(); });
    }
    m_modal = nullptr;
    m_watch->start();
}

void Leftovers::lookAtTheModalWindow()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (modal != m_modal) {
        m_modal = modal;
        m_modalSince.start();
        return;
    }
    if (!modal || m_modalSince.elapsed() < DeadlineMs)
        return;
    ADD_FAILURE() << "the modal window " << modal->objectName().toStdString() << " waited " << DeadlineMs / 1000
                  << " s with nobody to answer it";
    m_modal = nullptr;
    if (auto* form = qobject_cast<plat::Form*>(modal))
        plat::Forms::Unload(form);
    else if (auto* dialog = qobject_cast<QDialog*>(modal))
        dialog->reject();
    else
        modal->close();
}

void Leftovers::OnTestEnd(const testing::TestInfo&)
{
    m_watch->stop();
    // A loop that ends before it has run: QCoreApplication::exit() was called
    // while none ran (a timer that outlived its test). Only exec() takes it back.
    QEventLoop probe;
    QTimer::singleShot(0, &probe, [&probe] { probe.exit(0); });
    if (probe.exec() != -1)
        return;
    ADD_FAILURE() << "QCoreApplication::exit() was called while no message loop ran: every later loop would end at "
                     "once (a timer left by this test or an earlier one?)";
    QTimer::singleShot(0, QCoreApplication::instance(), [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
}

void Leftovers::OnTestProgramEnd(const testing::UnitTest&)
{
    m_watch.reset();
}

} // namespace testing_support
