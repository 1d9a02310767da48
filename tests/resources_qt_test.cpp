// Checks that linking kestrand_resources alone makes the images available to Qt (no
// Q_INIT_RESOURCE) and that what Qt reads back is the committed files.
#include "resource_paths.h"

#include <QFile>
#include <QImage>
#include <gtest/gtest.h>

#include <ostream>

namespace {

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct Entry {
    const char* name;
    const char* resource;
    const char* file;
};

void PrintTo(const Entry& e, std::ostream* os) {
    *os << e.resource;
}

class QtResource : public testing::TestWithParam<Entry> {};

TEST_P(QtResource, MatchesCommittedFile) {
    const QByteArray onDisk =
        readFile(QString(KESTRAND_RESOURCE_DIR) + "/" + QString(GetParam().file));
    ASSERT_FALSE(onDisk.isEmpty());
    EXPECT_EQ(readFile(QString(GetParam().resource)), onDisk);
}

INSTANTIATE_TEST_SUITE_P(
    Images, QtResource,
    testing::Values(Entry{"Icon32", kestrand::resources::iconPaths[0], "icons/kestrand-32.png"},
                    Entry{"Icon64", kestrand::resources::iconPaths[1], "icons/kestrand-64.png"},
                    Entry{"Icon128", kestrand::resources::iconPaths[2], "icons/kestrand-128.png"},
                    Entry{"Background", kestrand::resources::backgroundPath, "background.bmp"}),
    [](const testing::TestParamInfo<Entry>& info) { return std::string(info.param.name); });

TEST(QtResource, BackgroundDecodesAsIndexedImage) {
    const QImage image(kestrand::resources::backgroundPath);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(580, 276));
    EXPECT_EQ(image.format(), QImage::Format_Indexed8);
    EXPECT_EQ(image.colorCount(), 256);
}

} // namespace
