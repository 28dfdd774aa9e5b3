#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QProcess>

#include "analysis/projectbuilder.h"
#include "support/core/tempdir.h"

namespace {

struct TExport {
    int exitCode = -1;
    QString errors;
};

TExport RunExport(const QString& project, int investId, const QString& output, int kind = 1)
{
    QProcess process;
    process.start(TREMLOW_GUI_PATH, {"export", project, "--investigation", QString::number(investId), "--view",
                                     "indexes", "--kind", QString::number(kind), "-o", output});
    process.waitForFinished(120000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromLocal8Bit(process.readAllStandardError())};
}

// A project file of one investigation on a group of n members, each choosing the next.
QString GeneratedProject(const TTempDir& dir, int n)
{
    TProjectBuilder project;
    std::vector<int32_t> ids;
    for (int32_t i = 1; i <= n; ++i)
        ids.push_back(i);
    project.Members(1, 1, ids);
    for (int32_t i = 1; i <= n; ++i) {
        project.For(1, i, i % n + 1);
        project.Against(1, i, (i + 1) % n + 1);
    }
    const std::string path = dir.File("group" + std::to_string(n) + ".soi");
    project.store.SetFileName(path);
    EXPECT_TRUE(project.store.Save());
    return QString::fromStdString(path);
}

QString Out(const TTempDir& dir, const std::string& name)
{
    return QString::fromStdString(dir.File(name));
}

} // namespace

TEST(IndexesExport, SampleProjectInEveryKind)
{
    TTempDir dir;
    const QString sample = TREMLOW_SOURCE_DATA_DIR "/examples/school-class.soi";
    for (int kind : {1, 2, 3}) {
        const QString png = Out(dir, "sample" + std::to_string(kind) + ".png");
        const TExport run = RunExport(sample, 1, png, kind);
        EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
        const QImage image(png);
        EXPECT_GE(image.width(), 550);
        EXPECT_EQ(image.height(), 700); // both charts, one above the other
    }
    EXPECT_NE(QImage(Out(dir, "sample1.png")), QImage(Out(dir, "sample2.png")));
}

TEST(IndexesExport, GroupsFromThreeToTwoThousandMembers)
{
    TTempDir dir;
    for (int n : {3, 40}) {
        const QString project = GeneratedProject(dir, n);
        const QString jpg = Out(dir, "small" + std::to_string(n) + ".jpg");
        const TExport run = RunExport(project, 1, jpg);
        EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
        EXPECT_FALSE(QImage(jpg).isNull());
    }

    // The large picture is written band by band: bitmaps of any width a file can hold, while
    // JPEG refuses sides beyond its limit of 65500 pixels.
    const QString large = GeneratedProject(dir, 2000);
    const QString bmp = Out(dir, "large.bmp");
    const TExport written = RunExport(large, 1, bmp);
    EXPECT_EQ(written.exitCode, 0) << written.errors.toStdString();
    // Decoded whole: larger than the reader's default limit of 256 MB.
    QImageReader reader(bmp);
    reader.setAllocationLimit(0);
    const QImage bitmap = reader.read();
    ASSERT_FALSE(bitmap.isNull()) << reader.errorString().toStdString();
    EXPECT_EQ(bitmap.height(), 700);
    EXPECT_EQ(bitmap.pixelColor(0, 0), bitmap.pixelColor(bitmap.width() - 1, 0));
    if (bitmap.width() > 65500) {
        const QString jpg = Out(dir, "large.jpg");
        const TExport refused = RunExport(large, 1, jpg);
        EXPECT_EQ(refused.exitCode, 1);
        EXPECT_TRUE(refused.errors.contains("too large")) << refused.errors.toStdString();
        EXPECT_FALSE(QFileInfo::exists(jpg));
    }
    for (const char* name : {"large.svg", "large.pdf"}) {
        const QString vector = Out(dir, name);
        const TExport run = RunExport(large, 1, vector);
        EXPECT_EQ(run.exitCode, 0) << name << ": " << run.errors.toStdString();
        EXPECT_GT(QFileInfo(vector).size(), 100000) << name;
    }
}
