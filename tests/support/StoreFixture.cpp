#include "support/StoreFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tavrin::test {

StoreFixture::StoreFixture()
{
    files = std::make_unique<SchedFiles>(dir.path(), msg, printer);
    files->SetHost(&host);
    files->TwipsPerPixelX = 15;
}

void StoreFixture::OpenNewSchedule()
{
    bool isNew = false;
    ASSERT_TRUE(files->LoadScheduleSettings(isNew));
    ASSERT_TRUE(isNew);
    files->CurrentFormatNo = 1;
    files->ScheduleModified = false;
    const Status s = files->OpenWorkingFiles();
    ASSERT_TRUE(s) << s.message().toStdString();
}

void StoreFixture::OpenExisting()
{
    bool isNew = true;
    ASSERT_TRUE(files->LoadScheduleSettings(isNew));
    files->CurrentFormatNo = files->ScheduleProps.CurrentFormat;
    files->ScheduleModified = false;
    const Status s = files->OpenWorkingFiles();
    ASSERT_TRUE(s) << s.message().toStdString();
}

void StoreFixture::ClearWorkDir() const
{
    QDir d(dir.path());
    for (const QString& name : d.entryList({QStringLiteral("QORVANE2.*")}, QDir::Files)) d.remove(name);
}

qint64 StoreFixture::FileSize(const QString& ext) const { return QFileInfo(Path(ext)).size(); }

QByteArray StoreFixture::ReadFile(const QString& ext) const
{
    QFile f(Path(ext));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

void StoreFixture::WriteFile(const QString& ext, const QByteArray& bytes) const
{
    QFile f(Path(ext));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

}  // namespace tavrin::test
