#pragma once
// Turns a slide deck into one JPEG picture per slide, fitted into 720 x 540
// keeping the slide's proportions and named base + slide number + ".jpg"
// (Slide1.jpg, Slide2.jpg, ...), in a folder the caller made for it.
//
// LibreOfficeConverter does it with LibreOffice's office program run without
// a window ("soffice --headless") and a private profile folder inside the
// given folder, so that an office program the user has open is neither used
// nor disturbed, then with poppler's "pdftoppm". Both run under a time limit
// and are stopped, with every process they started, when it passes.
#include <functional>
#include <string>

namespace pavonia {

struct DeckConversion {
    enum class Status {
        Ok,
        CannotStart,  // a converter program could not be started
        OpenFailed,   // the deck could not be opened
        NoSlides,     // the deck opened but holds no slide
        ExportFailed, // not every picture asked for was written
        TimedOut,     // stopped at the time limit
        Cancelled     // stopped because the caller asked
    };
    Status status = Status::OpenFailed;
    int slides = 0;     // the deck's slides, when known
    int pictures = 0;   // pictures written
    std::string detail; // what the converter said, for the message
};

class SlideDeckConverter {
public:
    static constexpr int kPictureWidth = 720;
    static constexpr int kPictureHeight = 540;
    static constexpr const char* kBaseName = "Slide";

    virtual ~SlideDeckConverter() = default;
    // Whether the converter is installed.
    virtual bool available() const = 0;
    // Writes the pictures of slides 1 .. min(slides, maxPictures) of `deckPath`
    // into `folder` (which ends with "/" and may be used for work files).
    virtual DeckConversion convert(const std::string& deckPath, const std::string& folder, int maxPictures) = 0;
};

class LibreOfficeConverter final : public SlideDeckConverter {
public:
    struct Programs {
        std::string office = "soffice";
        std::string pdfToPictures = "pdftoppm";
        std::string pdfInfo = "pdfinfo";
    };

    explicit LibreOfficeConverter(int timeoutSeconds);
    LibreOfficeConverter(int timeoutSeconds, Programs programs);

    // Asked while a conversion runs; false stops it (Cancelled).
    void setKeepGoing(std::function<bool()> keepGoing) { keepGoing_ = std::move(keepGoing); }
    // Keeps the office program's profile in `folder` (ending with "/", made
    // when missing) from one conversion to the next, so that the office
    // program sets it up once instead of at every conversion. A conversion
    // that finds it in use by another process (or cannot use it) makes a
    // private one in its work folder, as without it.
    void setKeptProfile(std::string folder) { keptProfile_ = std::move(folder); }
    // Told, while the pictures are written, how many of how many are done
    // (asked as often as the keepGoing question).
    void setPicturesDone(std::function<void(int done, int total)> picturesDone)
    {
        picturesDone_ = std::move(picturesDone);
    }

    bool available() const override;
    DeckConversion convert(const std::string& deckPath, const std::string& folder, int maxPictures) override;

private:
    int timeoutSeconds_;
    Programs programs_;
    std::function<bool()> keepGoing_;
    std::string keptProfile_;
    std::function<void(int, int)> picturesDone_;
};

// "file://" followed by `path` with every byte outside the unreserved
// characters and "/" percent-encoded.
std::string fileUrl(const std::string& path);

} // namespace pavonia
