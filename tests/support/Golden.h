#pragma once
// Output compared with a reference file kept beside the tests. With TAVRIN_UPDATE_GOLDEN set,
// the reference is written from the output first (review the change before committing it).

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QString>

namespace tavrin::test {

inline void ExpectMatchesGolden(const QByteArray& bytes, const QString& golden)
{
    if (qEnvironmentVariableIsSet("TAVRIN_UPDATE_GOLDEN")) {
        QFile out(golden);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly)) << golden.toStdString();
        out.write(bytes);
    }
    QFile in(golden);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly)) << golden.toStdString();
    EXPECT_EQ(bytes, in.readAll()) << bytes.toStdString();
}

}  // namespace tavrin::test
