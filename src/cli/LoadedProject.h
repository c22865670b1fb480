#pragma once
// A project loaded and checked against the template library, as opening it
// in the program does, with what publishing needs around it: the
// subcommands that publish or export start from one.
#include "cli/CliSession.h"
#include "publish/Publisher.h"
#include "templates/TemplateLibrary.h"
#include "voice/TpsMessageExporter.h"

#include <string>

namespace pavonia::cli {

struct LoadedProject {
    LoadedProject(const Workplace& place, int verticalDotsPerInch)
        : session(place, true), library(place.home(), session.ui), dpi(verticalDotsPerInch), publisher(context())
    {
    }

    PublishContext context()
    {
        PublishContext context(session.document, library, layers, exporter);
        context.verticalDotsPerInch = dpi;
        return context;
    }

    bool load(const std::string& path) { return loadCheckedProject(session, library, layers, path); }

    Session session;
    TemplateLibrary library;
    LayoutLayers layers;
    // Re-encodes each session's message at the export sound quality.
    TpsMessageExporter exporter;
    int dpi;
    Publisher publisher;
};

} // namespace pavonia::cli
