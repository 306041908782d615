// The choice menu: one centred entry per choice, dimmed and inert for captions that begin with "*".
#include "game/game.h"
#include "game/widget.h"
#include "gfx/layered_image.h"

void Game::openChoiceMenu() {
    closeChoiceMenu();
    LayeredImage* image = interfaceImage.get();
    if (!image) return;
    const int layer = image->findLayer("menuitem");
    const int w = image->layerWidth(layer), h = image->layerHeight(layer);
    const int count = std::min(state.choiceCount, kMaxChoices);
    int y = (600 - (h + 16) * count) / 2 + (titleShown ? 128 : 0);
    for (int i = 0; i < count; ++i) {
        const char* caption = state.choices[i].caption;
        std::unique_ptr<Widget> item;
        if (caption[0] == '*') {
            item = std::make_unique<Widget>(image, "menuitem", "menuitem", "menuitem", nullptr,
                                            true, 0);
            item->alpha = 128;
            item->label = caption + 1;
        } else {
            item = std::make_unique<Widget>(
                image, "menuitem_i", "menuitem_i", "menuitem",
                [this](Widget& w) { chooseEntry(w.userValue); }, true, 0);
            item->label = caption;
        }
        item->userValue = i;
        item->x = (800 - w) / 2;
        item->y = y;
        widgetLists[kChoiceItems].push_back(item.get());
        choiceItems.push_back(std::move(item));
        y += h + 16;
    }
}

void Game::closeChoiceMenu() {
    widgetLists[kChoiceItems].clear();
    choiceItems.clear();
}
