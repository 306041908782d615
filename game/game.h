// The running game: the script engine with the scene, the interface, fades, gauges and choices.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/tracked_object.h"
#include "character/camera.h"
#include "character/saved_state.h"
#include "game/fade.h"
#include "game/script_engine.h"
#include "platform/d3d8_types.h"

class LayeredImage;
class ModelInstance;
class CharacterInstance;
class Widget;
class MessageWindow;
class DressUpScreen;

constexpr int kModelSlotCount = 16;  // 0..7 stage objects, 8..15 figures
constexpr int kStageSlotCount = 8;
constexpr int kFigureCount = 8;
constexpr int kLightCount = 8;
constexpr int kFadeChannelCount = 2;
constexpr int kWidgetListCount = 6;

// Widget groups the frame shows and hides together.
enum WidgetGroup {
    kScreenButtons = 0,  // the dress-up screen's buttons
    kChoiceItems = 1,
    kMessageWidgets = 2,  // the message window
    kGaugeWidgets = 3,
    kScreenGroup5 = 4,
    kScreenGroup6 = 5,
};

// What initialise() does. The dry run of the tools starts another script, leaves the interface
// art out (so that a scenario can be checked without it) and neither reads nor writes the
// player's saved state.
struct GameStart {
    const char* script = "script.txt";
    bool interface = true;
    bool savedState = true;
};

struct SceneLight {
    D3DLIGHT8 light{};
    bool enabled = false;
};

// The scene objects that are updated and drawn every frame, in the order they were added.
struct DrawList : TrackedObject {
    std::vector<ModelInstance*> objects;
    void add(ModelInstance* object);
    void remove(ModelInstance* object);
};

class Game : public ScriptEngine {
public:
    Game();
    ~Game() override;

    // Loads the fixed images, starts sound, builds the names, loads the saved state and starts
    // "script.txt".
    void initialise(const GameStart& start = {});
    // One frame: timer, script, camera, fades, scene, widgets, drawing. Nonzero to quit.
    int frame();
    void drawFrame();

    int executeCommand() override;
    void openChoiceMenu() override;
    void closeChoiceMenu() override;
    void resetFrameTimer() override;

    void setWidgetsShown(bool shown);
    void setMessageWidgetsShown(bool shown);

    // Model slot `index` (null outside 0..15 or when empty); figure i is slot 8 + i.
    ModelInstance* modelSlot(int index) const;
    ModelInstance* stage(int index) const;
    CharacterInstance* figure(int index) const;
    // The model of stage slot 0, where placements and camera locators are looked up.
    const struct Model* stageModel() const;

    // The seen-model list against this game's variables.
    bool registerModel(const char* name);
    bool isModelSeen(const char* name) const;
    void saveState() const;
    void loadState();

    std::unique_ptr<LayeredImage> interfaceImage;
    std::unique_ptr<LayeredImage> fadeImage;
    std::unique_ptr<LayeredImage> maskImage;
    std::unique_ptr<LayeredImage> titleOverlay;
    std::unique_ptr<LayeredImage> scenePicture;
    std::unique_ptr<DressUpScreen> dressUpScreen;
    bool screenClosed = false;  // set by the dress-up screen's close button

    DrawList drawList;
    std::unique_ptr<ModelInstance> modelSlots[kModelSlotCount];
    SceneLight lights[kLightCount];
    FadeChannel fades[kFadeChannelCount];
    std::vector<Widget*> widgetLists[kWidgetListCount];
    std::unique_ptr<MessageWindow> messageWindow;
    std::vector<std::unique_ptr<Widget>> gauges;
    Widget* playerGauge = nullptr;
    Widget* heroineGauge = nullptr;
    std::vector<std::unique_ptr<Widget>> choiceItems;

    CameraControl camera;
    SeenModels seenModels;

    bool titleShown = false;
    bool quitRequested = false;
    bool escapeAllowed = false;
    // Wheel movement since the last frame, in 120ths of a notch.
    int32_t wheelAccumulator = 0;

    // When set, every game command is reported as "%xx arg,arg" before it runs (the dry run).
    std::function<void(const std::string&)> commandTrace;

private:
    // "inter.psd", the message window and the gauges.
    void loadInterface();
    int gameCommand(char letter, char second);
    void cameraCommand(char second);
    void lightCommand(char second);
    void modelCommand(char second);
    void dressUpCommand();
    void removeFromSlot(int slot);
    void drawFade(D3DCOLOR colour);
    void traceArgument(const std::string& text);
    int argInt();
    float argFloat();
    const char* argString(const char* suffix);

    std::string trace_;
    bool tracing_ = false;
    int traceArguments_ = 0;
};

// The game object of this run, or null before the message loop creates it.
Game* currentGame();
void setCurrentGame(Game* game);
