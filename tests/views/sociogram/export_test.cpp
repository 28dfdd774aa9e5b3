#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include <QFile>
#include <QMap>
#include <QImageReader>
#include <QProcess>
#include <QSvgRenderer>
#include <QXmlStreamReader>

#include "analysis/projectbuilder.h"
#include "support/core/tempdir.h"

namespace {

struct TRun {
    int code = -1;
    QString errors;
};

TRun Export(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral(TREMLOW_GUI_PATH), QStringList{"export"} + arguments);
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromLocal8Bit(process.readAllStandardError())};
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class ExportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = QString::fromStdString(temp.Path().string());
        TProjectBuilder project;
        project.Members(5, 2, {21, 22, 23, 24});
        project.For(5, 21, 22).For(5, 22, 23).Against(5, 24, 21);
        project.Members(6, 3, {31});
        projectPath = dir + "/project.soi";
        project.store.SetFileName(projectPath.toStdString());
        ASSERT_TRUE(project.store.Save());
        before = ReadAll(projectPath);
    }
    TTempDir temp;
    QString dir;
    QString projectPath;
    QByteArray before;
};

} // namespace

TEST_F(ExportTest, WritesEveryFormatAndLeavesTheProjectAlone)
{
    for (const char* extension : {"png", "jpg", "jpeg", "bmp"}) {
        const QString out = dir + "/graph." + extension;
        const TRun run = Export({projectPath, "--investigation", "5", "--view", "graph", "--kind", "3", "-o", out});
        EXPECT_EQ(run.code, 0) << extension << ": " << run.errors.toStdString();
        const QImage image = QImageReader(out).read();
        EXPECT_FALSE(image.isNull()) << extension;
        EXPECT_GT(image.width(), 100);
    }
    const QString svg = dir + "/graph.svg";
    EXPECT_EQ(Export({projectPath, "--investigation", "5", "--view", "graph", "-o", svg}).code, 0);
    EXPECT_TRUE(QSvgRenderer(svg).isValid());
    const QString pdf = dir + "/graph.pdf";
    EXPECT_EQ(Export({projectPath, "--investigation", "5", "--view", "graph", "-o", pdf}).code, 0);
    EXPECT_TRUE(ReadAll(pdf).startsWith("%PDF-"));
    EXPECT_EQ(ReadAll(projectPath), before);
}

TEST_F(ExportTest, FailuresAndBadUsageHaveTheirOwnCodes)
{
    const QString out = dir + "/x.png";
    // Failures: 1 with the reason.
    TRun run = Export({projectPath, "--investigation", "6", "--view", "graph", "-o", out});
    EXPECT_EQ(run.code, 1);
    EXPECT_FALSE(run.errors.isEmpty());
    EXPECT_EQ(Export({projectPath, "--investigation", "77", "--view", "graph", "-o", out}).code, 1);
    EXPECT_EQ(Export({dir + "/missing.soi", "--investigation", "5", "--view", "graph", "-o", out}).code, 1);
    // A damaged project: where it is damaged, not only that it could not be read.
    const QString damaged = dir + "/damaged.soi";
    QFile file(damaged);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("not a project\n") > 0);
    file.close();
    run = Export({damaged, "--investigation", "5", "--view", "graph", "-o", out});
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(run.errors.contains("[CLIENT_GROUPS]")) << run.errors.toStdString();
    run = Export({projectPath, "--investigation", "5", "--view", "graph", "-o", dir + "/no/such/dir/x.png"});
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(run.errors.contains("x.png")) << run.errors.toStdString();
    EXPECT_FALSE(QFile::exists(out));

    // Bad usage: 2.
    EXPECT_EQ(Export({projectPath, "--investigation", "5", "--view", "graph"}).code, 2);
    EXPECT_EQ(Export({projectPath, "--investigation", "5", "--view", "nothing", "-o", out}).code, 2);
    EXPECT_EQ(Export({projectPath, "--investigation", "5", "--view", "graph", "-o", dir + "/x.gif"}).code, 2);
    EXPECT_EQ(Export({projectPath, "--investigation", "5", "--view", "graph", "--kind", "4", "-o", out}).code, 2);
    EXPECT_EQ(ReadAll(projectPath), before);
}

TEST_F(ExportTest, GraphMlHoldsTheArrangedFiguresAndSignedArrows)
{
    for (const char* layout : {"target", "force", "circle", "grid"}) {
        const QString out = dir + "/graph.graphml";
        const TRun run = Export({projectPath, "--investigation", "5", "--view", "graph", "--kind", "3", "--layout",
                                 layout, "-o", out});
        ASSERT_EQ(run.code, 0) << layout << ": " << run.errors.toStdString();
        QXmlStreamReader xml(ReadAll(out));
        std::vector<QRect> figures;
        std::vector<int> signs;
        QMap<QString, int> values;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement() && xml.name() == QLatin1String("data")) {
                const QString key = xml.attributes().value("key").toString();
                values[key] = xml.readElementText().toInt();
            }
            else if (xml.isEndElement() && xml.name() == QLatin1String("node"))
                figures.emplace_back(values["x"], values["y"], values["width"], values["height"]);
            else if (xml.isEndElement() && xml.name() == QLatin1String("edge"))
                signs.push_back(values["sign"]);
        }
        EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
        ASSERT_EQ(figures.size(), 4u) << layout;
        for (std::size_t i = 0; i < figures.size(); ++i) {
            EXPECT_GT(figures[i].width(), 20);
            for (std::size_t j = i + 1; j < figures.size(); ++j)
                EXPECT_FALSE(figures[i].intersects(figures[j])) << layout;
        }
        std::sort(signs.begin(), signs.end());
        EXPECT_EQ(signs, (std::vector<int>{-1, 1, 1})) << layout;
    }
    EXPECT_EQ(Export({projectPath, "--investigation", "5", "--view", "graph", "--layout", "spiral", "-o",
                      dir + "/x.png"}).code, 2);
    EXPECT_EQ(ReadAll(projectPath), before);
}
