// Hostile pictures through the loaders' own entry points: every seed the fuzz
// targets start from (tests/fuzz-corpus), and every input a fuzz target has
// ever crashed on (tests/data), must give a picture or one of the platform's
// exceptions, never a crash, a sanitizer report or another exception. Files
// past the size limits are refused before they are read.
#include "BmpReader.h"
#include "Exceptions.h"
#include "FileBytes.h"
#include "Jpeg.h"
#include "PictureLimits.h"

#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <typeinfo>
#include <vector>

#include <cstdio>
#include <jerror.h>
#include <jpeglib.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;

const fs::path kTests = fs::path(__FILE__).parent_path().parent_path();

Bytes Contents(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<fs::path> FilesIn(const fs::path& dir)
{
    std::vector<fs::path> files;
    if (fs::is_directory(dir)) {
        for (const fs::directory_entry& entry : fs::directory_iterator(dir))
            if (entry.is_regular_file())
                files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// What a loader made of a file: "picture WxH", "nothing", or the name of the
// platform exception it raised.
std::string Outcome(const QImage& image)
{
    if (image.isNull())
        return "nothing";
    return "picture " + std::to_string(image.width()) + "x" + std::to_string(image.height());
}

template <class Load> std::string Catching(Load load)
{
    try {
        return load();
    } catch (const EReadError&) {
        return "EReadError";
    } catch (const EInvalidGraphic&) {
        return "EInvalidGraphic";
    } catch (const EPictureTooLarge&) {
        return "EPictureTooLarge";
    } catch (const EJPEG& e) {
        return "EJPEG " + std::to_string(e.MessageCode());
    } catch (const EOutOfMemory&) {
        return "EOutOfMemory";
    } catch (const Exception& e) {
        return std::string("Exception ") + typeid(e).name();
    }
}

std::string LoadBmp(const Bytes& bytes)
{
    return Catching([&] { return Outcome(ReadBmp(bytes.data(), bytes.size())); });
}

// As a cell takes a JPEG file: the header at loading, then the drawing at the
// cell's size, then every pixel.
std::string LoadJpeg(const Bytes& bytes)
{
    TJPEGImage picture;
    const std::string loaded = Catching([&] {
        picture.LoadFromData(bytes);
        return std::string("loaded");
    });
    if (loaded != "loaded")
        return loaded;
    const std::string drawn = Catching([&] { return Outcome(picture.Rendition(160, 120)); });
    if (drawn.rfind("picture", 0) != 0)
        return drawn;
    return Catching([&] {
        const QImage* pixels = picture.Pixels();
        return pixels ? Outcome(*pixels) : std::string("nothing");
    });
}

std::string Load(const fs::path& path)
{
    const Bytes bytes = Contents(path);
    return path.extension() == ".bmp" ? LoadBmp(bytes) : LoadJpeg(bytes);
}

// ---- Every file of the seed corpora and the crash regressions ----------------

TEST(HostilePictures, EverySeedAndRegressionFileLoadsOrRaisesAPlatformException)
{
    std::vector<fs::path> files;
    for (const char* dir : {"fuzz-corpus/bmp", "fuzz-corpus/jpeg", "data"}) {
        const std::vector<fs::path> in = FilesIn(kTests / dir);
        files.insert(files.end(), in.begin(), in.end());
    }
    ASSERT_GT(files.size(), 100u) << "the seed corpora are missing under " << kTests;
    for (const fs::path& file : files) {
        SCOPED_TRACE(file.string());
        std::string outcome;
        try {
            outcome = Load(file);
        } catch (const std::exception& e) {
            ADD_FAILURE() << "raised " << typeid(e).name() << ": " << e.what();
            continue;
        }
        EXPECT_EQ(outcome.rfind("Exception ", 0), std::string::npos) << outcome;
    }
}

// ---- Seeds whose outcome is known --------------------------------------------

struct Seed {
    const char* file;
    std::string outcome;
};

std::string Jpeg(int code)
{
    return "EJPEG " + std::to_string(code);
}

void PrintTo(const Seed& s, std::ostream* os)
{
    *os << s.file;
}

class SeedOutcome : public ::testing::TestWithParam<Seed> {};

TEST_P(SeedOutcome, IsAsTheReaderPromises)
{
    EXPECT_EQ(Load(kTests / "fuzz-corpus" / GetParam().file), GetParam().outcome);
}

INSTANTIATE_TEST_SUITE_P(
    Corpus, SeedOutcome,
    ::testing::Values(
        Seed{"bmp/core-1bpp-bottomup.bmp", "picture 13x7"}, Seed{"bmp/v5-32bpp-topdown.bmp", "picture 13x7"},
        Seed{"bmp/info-rle4.bmp", "picture 13x7"}, Seed{"bmp/info56-bitfields-8888a.bmp", "picture 13x7"},
        Seed{"bmp/rle8-ends-early.bmp", "picture 13x7"}, Seed{"bmp/cut-in-file-header.bmp", "EReadError"},
        Seed{"bmp/cut-in-masks.bmp", "EReadError"}, Seed{"bmp/cut-in-rows.bmp", "EReadError"},
        Seed{"bmp/cut-in-rle8.bmp", "EReadError"}, Seed{"jpeg/arithmetic-progressive.jpg", "picture 32x24"},
        Seed{"jpeg/restart-out-of-order.jpg", "picture 32x24"},
        Seed{"jpeg/damaged-body.jpg", "picture 32x24"},
        Seed{"jpeg/frame-larger-than-body.jpg", "picture 320x256"},
        Seed{"jpeg/ycck-adobe.jpg", "picture 16x16"}, Seed{"jpeg/not-a-jpeg.jpg", Jpeg(JERR_NO_SOI)},
        Seed{"jpeg/only-start-marker.jpg", Jpeg(JERR_NO_IMAGE)},
        Seed{"jpeg/progressive-empty-scan-header.jpg", Jpeg(JERR_BAD_LENGTH)},
        Seed{"jpeg/bad-quant-table-number.jpg", Jpeg(JERR_BAD_LENGTH)}),
    [](const auto& info) {
        std::string name = info.param.file;
        std::replace_if(
            name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); },
            '_');
        return name;
    });

// ---- The file size limit -------------------------------------------------------

TEST(HostilePictures, AFileLargerThanTheLimitIsRefusedWithoutBeingRead)
{
    // A sparse file: it claims its size without taking the disk space.
    QTemporaryDir dir;
    for (const char* name : {"huge.bmp", "huge.jpg"}) {
        SCOPED_TRACE(name);
        const std::string path = dir.filePath(name).toStdString();
        {
            std::ofstream create(path, std::ios::binary);
        }
        ASSERT_EQ(::truncate(path.c_str(), static_cast<off_t>(kMaxPictureFileBytes) + 1), 0);
        EXPECT_THROW(ReadFileBytes(path), EFileTooLarge);
        TBitmap bitmap;
        TJPEGImage jpeg;
        TGraphic& graphic = std::string(name).ends_with(".bmp") ? static_cast<TGraphic&>(bitmap) : jpeg;
        EXPECT_THROW(graphic.LoadFromFile(path), EFileTooLarge);
    }
}

} // namespace
