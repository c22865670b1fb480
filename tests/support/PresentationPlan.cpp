#include "PresentationPlan.h"

#include "PictureFiles.h"
#include "project/ProjectFile.h"
#include "project/ProjectHolder.h"

#include <cmath>
#include <cstdint>
#include <fstream>

namespace pavonia::test {

namespace {

void put16(std::string& out, unsigned v)
{
    out.push_back(static_cast<char>(v & 0xff));
    out.push_back(static_cast<char>(v >> 8 & 0xff));
}

void put32(std::string& out, std::uint32_t v)
{
    put16(out, v & 0xffff);
    put16(out, v >> 16);
}

} // namespace

std::string writePresentation(const std::string& home, const std::string& temp, const PresentationPlan& plan,
                              const std::string& path)
{
    std::string failure;
    ConsoleProject held({home, temp}, ConsoleUi(false));
    {
        ProjectDocument& document = held.document;
        TreeOperations& operations = held.operations;
        operations.createView();
        ProjectSettings& settings = document.settings();
        settings.headingText = plan.heading;
        settings.autoPlay = plan.autoPlay;
        settings.autoLoop = plan.autoLoop;
        settings.autoJump = plan.autoJump;
        settings.styleNumber = plan.styleNumber;
        settings.layoutNumber = plan.layoutNumber;
        settings.resolutionKey = plan.resolutionKey;

        ProjectTree& tree = document.tree();
        TreeItem* session = tree.sessions().front();
        // The new project's empty slide makes way for the planned ones.
        operations.ReleaseItemFiles(*session->child(0));
        tree.remove(session->child(0));
        for (std::size_t s = 0; s < plan.sessions.size() && failure.empty(); ++s) {
            if (s > 0)
                session = operations.AddSession(session);
            TreeItem* last = nullptr;
            for (const SlidePlan& slidePlan : plan.sessions[s].slides) {
                const std::string label = slidePlan.subTopic.empty() ? "Slide" : slidePlan.subTopic;
                last = operations.AddSlide(last, label, *session, slidePlan.picture);
                if (!last) {
                    failure = "a slide could not be added";
                    break;
                }
                SlideData& slide = *last->slide();
                slide.delay = slidePlan.delay;
                slide.transition = slidePlan.transition;
                slide.subTopic = slidePlan.subTopic;
                slide.description = slidePlan.description;
                slide.hasContent = 1;
            }
        }
        if (failure.empty() && !SaveProject(document, path))
            failure = "the project could not be saved";
        document.workingFolder().reset();
    }
    for (const std::string& message : held.ui.messages())
        failure += (failure.empty() ? "" : "\n") + message;
    return failure;
}

void writeBurstWave(const std::string& path, int ms, int voicedMs, int periodMs, int rate)
{
    std::string data;
    const int samples = static_cast<int>(static_cast<long long>(ms) * rate / 1000);
    for (int i = 0; i < samples; ++i) {
        const double t = static_cast<double>(i) / rate;
        double v = 0;
        if (std::fmod(t * 1000, periodMs) < voicedMs)
            for (int h = 1; h < 12; ++h)
                v += std::sin(2 * M_PI * 150 * h * t) / h;
        put16(data, static_cast<std::uint16_t>(static_cast<std::int16_t>(v * 5000)));
    }
    std::string chunks = "fmt ";
    put32(chunks, 16);
    put16(chunks, 1); // PCM
    put16(chunks, 1); // mono
    put32(chunks, static_cast<std::uint32_t>(rate));
    put32(chunks, static_cast<std::uint32_t>(rate * 2));
    put16(chunks, 2);
    put16(chunks, 16);
    chunks += "data";
    put32(chunks, static_cast<std::uint32_t>(data.size()));
    chunks += data;
    std::string file = "RIFF";
    put32(file, static_cast<std::uint32_t>(chunks.size() + 4));
    file += "WAVE" + chunks;
    std::ofstream(path, std::ios::binary).write(file.data(), static_cast<std::streamsize>(file.size()));
}

void writeTestPicture(const std::string& path, int seed, int width, int height)
{
    const double hue = seed * 2.399; // the golden angle spreads the colours
    writeBmp24(path, width, height, [&](int x, int y) {
        const double u = static_cast<double>(x) / width, v = static_cast<double>(y) / height;
        const auto channel = [&](double phase) {
            return static_cast<std::uint8_t>(128 + 100 * std::sin(hue + phase) * (0.6 + 0.4 * u) - 20 * v);
        };
        // A bar whose place tells the seed, so neighbouring pictures differ
        // in shape as well as colour.
        const bool bar = std::abs(x - (seed * 37) % width) < width / 16;
        return bar ? Rgb8{250, 250, 250} : Rgb8{channel(0), channel(2.1), channel(4.2)};
    });
}

} // namespace pavonia::test
