#pragma once
// Puts the slide voice page into the main window: the page of a selected
// session over the machine's sound card (or, where none opens, a device that
// says why), the window's Import Wave File, Import Talking Image and Import
// Talking Message commands (talking images and messages come from the
// content album), stopping playback before commands, the question about an
// unapplied recording before the page is left, and the external editors
// where the sibling product is installed.
namespace pavonia {

class ImageCache;
class MainWindow;
class SlideVoicePage;

SlideVoicePage* installSlideVoicePage(MainWindow& window, ImageCache& cache);

} // namespace pavonia
