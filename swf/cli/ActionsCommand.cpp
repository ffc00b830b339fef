#include "ActionsCommand.h"

#include "Session.h"

#include "swf/format/Actions.h"
#include "swf/format/EventActions.h"
#include "swf/format/Parser.h"

#include <QFile>

#include <cstdio>

namespace cli {
namespace {

void printBlock(const std::string& title, std::span<const uint8_t> actions)
{
    std::printf("== %s (%zu bytes)\n%s", title.c_str(), actions.size(), swf::disassemble(actions).c_str());
}

void printTimeline(const swf::Movie& movie, const swf::Timeline& timeline, const std::string& owner)
{
    for (size_t f = 0; f < timeline.frames.size(); ++f) {
        const swf::Frame& frame = timeline.frames[f];
        const std::string where = owner + " frame " + std::to_string(f + 1);
        for (const std::string& label : frame.labels)
            std::printf("== %s label \"%s\"\n", where.c_str(), label.c_str());
        for (const swf::ControlTag& tag : frame.tags) {
            if (const auto* action = std::get_if<swf::DoAction>(&tag)) {
                printBlock(where + " DoAction", action->actions);
            } else if (const auto* init = std::get_if<swf::DoInitAction>(&tag)) {
                printBlock(where + " DoInitAction sprite " + std::to_string(init->spriteId), init->actions);
            } else if (const auto* place = std::get_if<swf::PlaceObject>(&tag); place && !place->clipActions.empty()) {
                for (const auto& handler : swf::readClipActions(place->clipActions, movie.header.version)) {
                    char events[64];
                    std::snprintf(events, sizeof events, " events 0x%05x key %u", handler.events, handler.keyCode);
                    printBlock(where + " depth " + std::to_string(place->depth) + events, handler.actions);
                }
            }
        }
    }
}

} // namespace

int commandActions(const Options& options)
{
    if (options.positional().size() != 1) {
        printError("actions takes one movie");
        return kUsage;
    }
    QFile file(QString::fromLocal8Bit(options.positional().front().c_str()));
    if (!file.open(QIODevice::ReadOnly)) {
        printError("cannot read " + options.positional().front());
        return kUnreadable;
    }
    const QByteArray bytes = file.readAll();
    auto movie = swf::parseMovie(
        std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size())));
    if (!movie) {
        printError(movie.error().message);
        return kUnreadable;
    }
    std::printf("SWF %d, %zu frames\n", movie->header.version, movie->timeline.frames.size());
    printTimeline(*movie, movie->timeline, "root");
    for (const auto& [id, character] : movie->dictionary) {
        if (const auto* sprite = std::get_if<swf::SpriteDefinition>(&character->data))
            printTimeline(*movie, sprite->timeline, "sprite " + std::to_string(id));
        if (character->tagCode == 7 || character->tagCode == 34) {
            for (const auto& action : swf::readButtonActions(character->tagCode, character->body)) {
                char conditions[64];
                std::snprintf(conditions, sizeof conditions, " transitions 0x%03x key %u", action.transitions,
                    action.keyCode);
                printBlock("button " + std::to_string(id) + conditions, action.actions);
            }
        }
    }
    return kOk;
}

} // namespace cli
