#pragma once
// Golden files of the runtime tests (tests/runtime/golden/). With
// PLX_WRITE_GOLDEN set, a test writes what it made in place of the golden
// file, to be read by a person before it is committed, and fails.

#include "tests/harness/TestSupport.h"

#include <QFile>
#include <gtest/gtest.h>

inline QString goldenFile(const QString& name)
{
    return testing_support::sourceFolder() + "/tests/runtime/golden/" + name;
}

// Text files are compared line by line as well, so that a difference shows
// where it is.
inline void expectGolden(const QByteArray& made, const QString& name, bool text)
{
    if (qEnvironmentVariableIsSet("PLX_WRITE_GOLDEN")) {
        QFile out(goldenFile(name));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(made);
        ADD_FAILURE() << "wrote " << goldenFile(name).toStdString();
        return;
    }
    QFile in(goldenFile(name));
    ASSERT_TRUE(in.open(QIODevice::ReadOnly)) << "missing " << goldenFile(name).toStdString();
    const QByteArray golden = in.readAll();
    if (!text) {
        EXPECT_EQ(made.toHex(' ').toStdString(), golden.toHex(' ').toStdString());
        return;
    }
    EXPECT_EQ(made, golden);
    const QList<QByteArray> a = made.split('\n');
    const QList<QByteArray> b = golden.split('\n');
    for (qsizetype i = 0; i < std::min(a.size(), b.size()); ++i)
        EXPECT_EQ(a[i].toStdString(), b[i].toStdString()) << "line " << i + 1;
}
