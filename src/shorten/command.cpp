#include "shorten/command.h"

#include "shorten/links.h"

namespace quenmark::shorten {
namespace {

constexpr std::array<std::string_view, 6> radio_buttons = {"单选框1", "单选框2", "单选框3",
                                                           "单选框4", "单选框5", "单选框6"};

} // namespace

void shorten_command(ui::Controls& controls, TextArray& long_links,
                     const WorkerStarter& start_worker, const Catalogue& catalogue,
                     const BatchOptions& options)
{
    const Text box = controls.text_of("编辑框1");
    if (box.empty())
        return;
    const ServiceSpec* chosen = nullptr;
    for (std::size_t i = 0; i < radio_buttons.size() && chosen == nullptr; ++i) {
        if (controls.is_checked(radio_buttons[i]))
            chosen = &catalogue[i];
    }
    // With no service chosen the links are still normalised as the default
    // would, and no batch starts.
    long_links = batch_entries(box, chosen == nullptr || chosen->normalise_links);
    if (chosen == nullptr)
        return;
    controls.set_disabled(true);
    start_worker([row = *chosen, entries = long_links, &controls, options](std::stop_token stop) {
        shorten_batch(row, entries, controls, stop, options);
    });
}

} // namespace quenmark::shorten
