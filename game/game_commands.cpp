// The game's script commands: pictures, title, dress-up screen, camera, lights, models, motions,
// fades and voices. Every other letter goes back to the engine's base commands.
#include <cstdio>
#include <cstring>

#include "archive/catalogue.h"
#include "character/costume.h"
#include "character/masks.h"
#include "game/dress_up_screen.h"
#include "game/game.h"
#include "gfx/graphics_device.h"
#include "gfx/layered_image.h"
#include "media/model_instance.h"

namespace {
bool oneOf(char c, const char* letters) {
    return c != '\0' && std::strchr(letters, c);
}

void setColour(D3DCOLORVALUE& colour, float r, float g, float b) {
    colour.r = r;
    colour.g = g;
    colour.b = b;
}
}  // namespace

int Game::executeCommand() {
    const char* first = state.position;
    const char letter = first[0];
    if (!oneOf(letter, "QTXZcfglmoq")) return ScriptEngine::executeCommand();
    const char second = first[1];
    // "%l" alone is the engine's return; "%m" with an unknown letter is an unknown command.
    if ((letter == 'l' && !oneOf(second, "adesv")) ||
        (letter == 'm' && !oneOf(second, "Vabcdhlmnprv")))
        return ScriptEngine::executeCommand();
    const bool twoLetters = (letter == 'c' && oneOf(second, "lpuv")) || letter == 'l' ||
                            letter == 'm' || (letter == 'o' && second == 'R');
    state.position = first + (twoLetters ? 2 : 1);
    tracing_ = static_cast<bool>(commandTrace);
    traceArguments_ = 0;
    if (tracing_) trace_ = std::string("%") + letter + (twoLetters ? std::string(1, second) : "");
    const int result = gameCommand(letter, twoLetters ? second : '\0');
    if (tracing_) commandTrace(trace_);
    tracing_ = false;
    return result;
}

int Game::gameCommand(char letter, char second) {
    switch (letter) {
        case 'Q':
            quitRequested = true;
            break;
        case 'q':
            escapeAllowed = argInt() != 0;
            break;
        case 'T':
            titleOverlay.reset();
            titleShown = argInt() != 0;
            if (titleShown) titleOverlay = loadLayeredImage("title2.psd");
            break;
        case 'g': {
            scenePicture.reset();
            const char* name = argString(".psd");
            if (name[0] != '.') scenePicture = loadLayeredImage(name);
            break;
        }
        case 'Z':
            dressUpCommand();
            break;
        case 'X':
            dressUpScreen.reset();
            break;
        case 'f': {
            const int channel = argInt(), level = argInt(), frames = argInt();
            if (channel >= 0 && channel < kFadeChannelCount)
                startFade(fades[channel], level, frames);
            break;
        }
        case 'c':
            cameraCommand(second);
            break;
        case 'l':
            lightCommand(second);
            break;
        case 'm':
            modelCommand(second);
            break;
        case 'o':
            if (second == 'R') {
                const int channel = argInt(), a = argInt(), b = argInt();
                const float t0 = argFloat(), t1 = argFloat();
                sound().scheduleVoices(channel, a, b, t0, t1);
            } else {
                sound().playVoice(argString(nullptr));
            }
            break;
        default:
            break;
    }
    return 0;
}

void Game::dressUpCommand() {
    const char* command = state.position - 2;  // the "%" of "%Z"
    if (argInt() == 0) {
        for (int slot = 0; slot < 2; ++slot)
            if (modelSlots[slot]) applyPlacement(modelSlots[slot].get(), nullptr);
        if (dressUpScreen) dressUpScreen->releaseOriginPlacements();
        return;
    }
    if (dressUpScreen && screenClosed) {
        dressUpScreen.reset();
        screenClosed = false;
        return;
    }
    if (!dressUpScreen) {
        screenClosed = false;
        dressUpScreen = std::make_unique<DressUpScreen>(*this);
        resetFrameTimer();
    }
    // Back to the command, whatever its argument's length: the script waits here until the
    // screen is closed.
    state.position = command;
}

void Game::cameraCommand(char second) {
    switch (second) {
        case 'l':
            camera.locked = argInt() != 0;
            return;
        case 'p':
            setCameraLocator(camera, argString(""), stageModel());
            break;
        case 'u': {
            const int i = argInt();
            const float x = argFloat(), y = argFloat(), z = argFloat();
            if (i >= 0 && i < 2) {
                camera.anchors[i].x = x;
                camera.anchors[i].y = y;
                camera.anchors[i].z = z;
            }
            break;
        }
        case 'v': {
            const int i = argInt(), k = argInt();
            if (i >= 0 && i < 2) camera.anchors[i].value = k;
            break;
        }
        default: {
            const char* name = argString(".tcm");
            const bool empty = std::strcmp(name, ".tcm") == 0;
            std::string path = name;
            const bool hold = argInt() == 0;
            setCameraPath(camera, empty ? nullptr : path.c_str(), hold);
            break;
        }
    }
    resetFrameTimer();
}

void Game::lightCommand(char second) {
    const int i = argInt();
    SceneLight* light = i >= 0 && i < kLightCount ? &lights[i] : nullptr;
    if (second == 'e') {
        const int n = argInt();
        if (light) light->enabled = n != 0;
        return;
    }
    const float x = argFloat(), y = argFloat(), z = argFloat();
    if (!light) return;
    D3DLIGHT8& l = light->light;
    switch (second) {
        case 'a':
            setColour(l.Ambient, x, y, z);
            break;
        case 'd':
            setColour(l.Diffuse, x, y, z);
            l.Diffuse.a = 1.0f;
            break;
        case 's':
            setColour(l.Specular, x, y, z);
            break;
        case 'v':
            l.Direction = {x, y, z};
            break;
        default:
            break;
    }
}

void Game::modelCommand(char second) {
    switch (second) {
        case 'b': {
            const int i = argInt();
            const std::string name = argString(".tmb");
            if (i < 0 || i >= kStageSlotCount) break;
            removeFromSlot(i);
            if (name != ".tmb") {
                modelSlots[i] = std::make_unique<ModelInstance>();
                loadBody(modelSlots[i].get(), name.c_str());
                drawList.add(modelSlots[i].get());
            }
            resetFrameTimer();
            setCameraLocator(camera, camera.locatorName, stageModel());
            return;
        }
        case 'n': {
            const int i = argInt();
            const std::string name = argString(".tsb");
            if (ModelInstance* object = stage(i)) {
                setMotion(object, name.c_str());
                object->time = 0;
            }
            break;
        }
        case 'V': {
            const int i = argInt(), n = argInt();
            if (ModelInstance* object = stage(i)) object->visible = n != 0;
            break;
        }
        case 'l': {
            const int i = argInt();
            const std::string name = argString(".tmb");
            if (i < 0 || i >= kFigureCount) break;
            const int slot = kStageSlotCount + i;
            removeFromSlot(slot);
            if (name != ".tmb") {
                auto character = std::make_unique<CharacterInstance>();
                loadBody(character.get(), name.c_str());
                drawList.add(character.get());
                modelSlots[slot] = std::move(character);
                registerModel(name.c_str());
            }
            break;
        }
        case 'a': {
            const int i = argInt(), part = argInt();
            const std::string name = argString(".tmb");
            registerModel(name.c_str());
            if (CharacterInstance* f = figure(i); f && part >= 0 && part < kCharacterParts)
                setPart(f, part, name.c_str());
            break;
        }
        case 'd': {
            const int i = argInt(), part = argInt();
            CharacterInstance* f = figure(i);
            if (!f) break;
            if (part == 0)
                drawList.remove(f);
            else if (part > 0 && part < kCharacterParts)
                setPart(f, part, "nil.tmb");
            break;
        }
        case 'h': {
            const int i = argInt(), piece = argInt(), wear = argInt();
            setHalfWear(figure(i), piece, wear);
            break;
        }
        case 'c': {
            const int i = argInt(), channel = argInt();
            const float size = argFloat();
            setMaskChannel(figure(i), channel, size);
            return;
        }
        case 'm': {
            const int i = argInt();
            const std::string name = argString(".tsb");
            if (CharacterInstance* f = figure(i)) {
                f->time = 0;
                setMotion(f, name.c_str());
            }
            resetFrameTimer();
            for (int k = 0; k < 2; ++k)
                if (CharacterInstance* f = figure(k)) f->time = 0;
            return;
        }
        case 'r':
            for (int k = 0; k < 2; ++k)
                if (CharacterInstance* f = figure(k)) f->time = 0;
            return;
        case 'p': {
            const int i = argInt();
            const char* name = argString("");
            const Model* model = stageModel();
            const Placement* placement = model ? findPlacement(model, name) : nullptr;
            if (CharacterInstance* f = figure(i)) applyPlacement(f, placement);
            break;
        }
        case 'v': {
            const int i = argInt(), n = argInt();
            if (CharacterInstance* f = figure(i)) f->visible = n != 0;
            break;
        }
        default:
            return;
    }
    resetFrameTimer();
}

void Game::traceArgument(const std::string& text) {
    if (!tracing_) return;
    trace_ += traceArguments_++ == 0 ? " " : ",";
    trace_ += text;
}

int Game::argInt() {
    const int value = readInt();
    traceArgument(std::to_string(value));
    return value;
}

float Game::argFloat() {
    const float value = readFloat();
    if (tracing_) {
        char number[64];
        std::snprintf(number, sizeof number, "%g", value);
        traceArgument(number);
    }
    return value;
}

const char* Game::argString(const char* suffix) {
    const char* value = readString(suffix);
    traceArgument(value);
    return value;
}
