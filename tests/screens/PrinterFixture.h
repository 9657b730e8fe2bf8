#pragma once
// The ground of the printer settings tests: the screens' fixture, and model
// files written into the program folder by the test.

#include "tests/screens/ScreensFixture.h"

#include <QByteArray>
#include <QFile>

class PrinterFixture : public ScreensFixture {
protected:
    // A model file of that name (".prt" added) holding these bytes.
    static void writeModel(const QString& model, const QByteArray& content)
    {
        QFile f(folder() + "/" + model + ".prt");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
    }

    // A colour model: every colour, every style.
    static QByteArray colourModel()
    {
        return "[Reset]\r\nInit=1B 40\r\n[Colors]\r\n0=1B 72 30\r\n1=1B 72 31\r\n2=1B 72 32\r\n3=1B 72 33\r\n"
               "4=1B 72 34\r\n5=1B 72 35\r\n6=1B 72 36\r\n[Styles]\r\nB=1B 45\r\nI=1B 34\r\nU=1B 2D 31\r\n";
    }
    // A model without colours and without italic.
    static QByteArray monoModel() { return "[Reset]\r\nInit=1B 40 0D\r\n[Styles]\r\nB=1B 45\r\nU=1B 2D 31\r\n"; }
};
