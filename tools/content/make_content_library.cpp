// Makes the starter content library of the installation: talking images
// (cartoon faces) and talking messages (greetings, transitions between
// topics, a closing) spoken with espeak-ng and given their lip-sync, each
// with its thumbnail, the album's background and its description
// "album-3.cnt".
// Usage: make_content_library [--faces-only] INSTALLATION-DATA OUTPUT-FOLDER...
// INSTALLATION-DATA holds the lip-sync tuning ("LIPSincData"); each output
// folder receives "Content/". With --faces-only (a machine without
// espeak-ng) the library holds the talking images alone.
//   make_content_library --sheet SHEET.png   (every face side by side)
#include "FaceDrawing.h"
#include "album/AlbumDescription.h"
#include "voice/LipSyncAnalyzer.h"
#include "voice/TpsFile.h"
#include "voice/WaveFile.h"

#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace pavonia;
using facegen::FaceLook;
using facegen::HairStyle;

namespace {

constexpr int kThumbnail = 96;

struct Face {
    const char* file;
    const char* title;
    FaceLook look;
};

FaceLook look(QColor skin, QColor shade, QColor hair, HairStyle style, QColor iris, QColor jumper, QColor top,
              QColor bottom, bool glasses = false, bool beard = false)
{
    FaceLook l;
    l.skin = skin;
    l.skinShade = shade;
    l.hair = hair;
    l.hairStyle = style;
    l.iris = iris;
    l.jumper = jumper;
    l.backgroundTop = top;
    l.backgroundBottom = bottom;
    l.glasses = glasses;
    l.beard = beard;
    return l;
}

std::vector<Face> faces()
{
    return {
        {"Ada.tjm", "Ada",
         look({0xF7, 0xCF, 0xAD}, {0xE6, 0xA8, 0x80}, {0x5A, 0x36, 0x22}, HairStyle::Long, {0x5A, 0x3A, 0x1E},
              {0x3E, 0x9C, 0x9A}, {0xFF, 0xEE, 0xD2}, {0xF6, 0xD2, 0xA6})},
        {"Ben.tjm", "Ben",
         look({0xA8, 0x72, 0x4C}, {0x8A, 0x58, 0x38}, {0x1E, 0x16, 0x12}, HairStyle::Short, {0x3A, 0x24, 0x14},
              {0x3B, 0x5B, 0xA5}, {0xDC, 0xEB, 0xFA}, {0xA8, 0xC6, 0xE8}, true)},
        {"Chloe.tjm", "Chloe",
         look({0xFB, 0xDD, 0xC8}, {0xEE, 0xB8, 0x9C}, {0xB8, 0x4A, 0x22}, HairStyle::Bob, {0x3E, 0x7A, 0x48},
              {0xE0, 0xA8, 0x2E}, {0xEC, 0xF6, 0xE4}, {0xC4, 0xE0, 0xB4})},
        {"Dev.tjm", "Dev",
         look({0xC6, 0x8E, 0x62}, {0xA8, 0x70, 0x48}, {0x24, 0x1A, 0x16}, HairStyle::Short, {0x2E, 0x1C, 0x10},
              {0x8E, 0x3B, 0x5E}, {0xF6, 0xE4, 0xF0}, {0xDA, 0xB4, 0xCC}, false, true)},
        {"Elena.tjm", "Elena",
         look({0xF2, 0xC8, 0xA8}, {0xDE, 0xA2, 0x7E}, {0xE0, 0xB8, 0x5C}, HairStyle::Long, {0x3C, 0x6E, 0xA8},
              {0x6A, 0x4C, 0x9C}, {0xFF, 0xF4, 0xDA}, {0xF2, 0xD8, 0x9A})},
        {"Frank.tjm", "Frank",
         look({0xEC, 0xBE, 0x9E}, {0xD4, 0x9A, 0x78}, {0xB4, 0xB0, 0xAA}, HairStyle::Bald, {0x4A, 0x5A, 0x6A},
              {0x5A, 0x6E, 0x3A}, {0xE8, 0xEE, 0xF2}, {0xC2, 0xCC, 0xD4}, true, true)},
    };
}

struct Message {
    const char* file;
    const char* title;
    const char* voice; // an espeak-ng voice
    const char* words; // ours, without single quotes
};

std::vector<Message> messages()
{
    return {
        {"Greetings/Welcome.tps", "Welcome", "en-us+f3", "Hello, and welcome. I am glad you could join us today."},
        {"Greetings/Good morning.tps", "Good morning", "en-gb+m3", "Good morning, everyone. Let us get started."},
        {"Transitions/Next topic.tps", "Next topic", "en-us+m3", "Now, let us move on to the next topic."},
        {"Transitions/Key points.tps", "Key points", "en-gb+f2", "Here are the key points to remember."},
        {"Transitions/An example.tps", "An example", "en-us+f4", "Let me show you an example of how this works."},
        {"Closings/Thank you.tps", "Thank you", "en-us+m1",
         "That brings us to the end. Thank you for listening, and goodbye."},
    };
}

bool saveBmp(const QImage& image, const std::string& path)
{
    return image.convertToFormat(QImage::Format_RGB888).save(QString::fromStdString(path), "BMP");
}

QImage faceThumbnail(const QImage& face)
{
    return face.scaled(kThumbnail, kThumbnail, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// A speech bubble over the message's own wave form.
QImage messageThumbnail(const PcmAudio& voice, QColor colour)
{
    QImage image(kThumbnail, kThumbnail, QImage::Format_RGB32);
    image.fill(QColor(0xF7, 0xF4, 0xEC));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(8, 10, 80, 58), 16, 16);
    QPainterPath tail;
    tail.moveTo(24, 64);
    tail.lineTo(18, 84);
    tail.lineTo(40, 66);
    tail.closeSubpath();
    bubble = bubble.united(tail);
    QLinearGradient fill(0, 10, 0, 84);
    fill.setColorAt(0, colour.lighter(125));
    fill.setColorAt(1, colour);
    p.setPen(QPen(colour.darker(140), 2));
    p.setBrush(fill);
    p.drawPath(bubble);

    // The loudness of the voice in 28 slices, as bars across the bubble.
    const int bars = 28;
    const std::size_t perBar = std::max<std::size_t>(1, voice.samples.size() / bars);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 230));
    for (int i = 0; i < bars; ++i) {
        double peak = 0;
        for (std::size_t s = std::size_t(i) * perBar; s < std::min(voice.samples.size(), (std::size_t(i) + 1) * perBar); ++s)
            peak = std::max(peak, std::abs(double(voice.samples[s])) / 32768.0);
        const double h = 4 + 40 * std::min(1.0, peak * 1.6);
        p.drawRoundedRect(QRectF(14 + i * 2.5, 39 - h / 2, 1.8, h), 0.9, 0.9);
    }
    return image;
}

QImage albumBackground()
{
    QImage image(256, 256, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient shade(0, 0, 0, 256);
    shade.setColorAt(0, QColor(0xFB, 0xF8, 0xF1));
    shade.setColorAt(1, QColor(0xEE, 0xE8, 0xDA));
    p.fillRect(image.rect(), shade);
    return image;
}

bool speak(const Message& message, const std::string& wavePath)
{
    const std::string command = std::string("espeak-ng -v ") + message.voice + " -s 150 -w '" + wavePath + "' '" +
                                message.words + "'";
    return std::system(command.c_str()) == 0;
}

int writeSheet(const char* path)
{
    const std::vector<Face> all = faces();
    const int cell = 256;
    QImage sheet(cell * int(all.size()), cell, QImage::Format_RGB32);
    QPainter p(&sheet);
    for (std::size_t i = 0; i < all.size(); ++i)
        p.drawImage(QRect(int(i) * cell, 0, cell, cell), facegen::drawFace(all[i].look));
    p.end();
    return sheet.save(path, "PNG") ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc == 3 && std::string(argv[1]) == "--sheet")
        return writeSheet(argv[2]);
    const bool facesOnly = argc > 1 && std::string(argv[1]) == "--faces-only";
    if (facesOnly) {
        --argc;
        ++argv;
    }
    if (argc < 3) {
        std::cerr << "usage: make_content_library [--faces-only] INSTALLATION-DATA OUTPUT-FOLDER...\n";
        return 2;
    }
    std::string data = fs::absolute(argv[1]).string();
    if (data.back() != '/')
        data += '/';
    const LipSyncSettings lipSync = LipSyncSettings::load(data);

    // Everything is made once into the first output folder and copied into the others.
    const fs::path content = fs::path(argv[2]) / "Content";
    std::error_code ec;
    fs::remove_all(content, ec);
    fs::create_directories(content);
    std::vector<AlbumEntry> entries;

    for (const Face& face : faces()) {
        const fs::path file = content / face.file;
        const QImage picture = facegen::drawFace(face.look);
        TjmFile tjm;
        tjm.rig = facegen::faceRig(face.look);
        tjm.picture = facegen::pngBytes(picture);
        if (const Result<> written = writeTjmFile(file.string(), tjm); !written) {
            std::cerr << "make_content_library: " << written.failure().text() << '\n';
            return 1;
        }
        if (!saveBmp(faceThumbnail(picture), fs::path(file).replace_extension(".bmp").string()))
            return 1;
        entries.push_back({AlbumKind::Images, face.file, face.title});
    }

    const QColor bubbles[] = {{0x3E, 0x9C, 0x9A}, {0x3B, 0x5B, 0xA5}, {0xE0, 0x8A, 0x2E},
                              {0x8E, 0x3B, 0x5E}, {0x6A, 0x4C, 0x9C}, {0x5A, 0x6E, 0x3A}};
    std::size_t index = 0;
    for (const Message& message : facesOnly ? std::vector<Message>() : messages()) {
        const fs::path file = content / message.file;
        fs::create_directories(file.parent_path());
        const std::string wave = (content / "spoken.wav").string();
        TalkingMessage tps;
        if (!speak(message, wave) || !readWave(wave, tps.voice)) {
            std::cerr << "make_content_library: espeak-ng could not speak \"" << message.words << "\"\n";
            return 1;
        }
        fs::remove(wave, ec);
        tps.frames = analyseLipSync(tps.voice, lipSync);
        if (const Result<> written = writeTps(file.string(), tps); !written) {
            std::cerr << "make_content_library: " << written.failure().text() << '\n';
            return 1;
        }
        if (!saveBmp(messageThumbnail(tps.voice, bubbles[index++ % std::size(bubbles)]),
                     fs::path(file).replace_extension(".bmp").string()))
            return 1;
        entries.push_back({AlbumKind::Messages, message.file, message.title});
    }

    if (!saveBmp(albumBackground(), (content / "album-bg-r.bmp").string()))
        return 1;
    if (const Result<> written = writeAlbumDescription((content / kAlbumDescriptionName).string(), entries); !written) {
        std::cerr << "make_content_library: " << written.failure().text() << '\n';
        return 1;
    }
    for (int i = 3; i < argc; ++i) {
        const fs::path copy = fs::path(argv[i]) / "Content";
        fs::remove_all(copy, ec);
        fs::create_directories(copy.parent_path());
        fs::copy(content, copy, fs::copy_options::recursive, ec);
        if (ec) {
            std::cerr << "make_content_library: cannot copy into " << copy << ": " << ec.message() << '\n';
            return 1;
        }
    }
    return 0;
}
