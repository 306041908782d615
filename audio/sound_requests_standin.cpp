// Sound requests that do nothing, until the stream player is in place.
#include "audio/sound_requests.h"

void playMusic(const char*) {}
void playLoopEffect(const char*) {}
void playVoice(const char*) {}
void playEffect(const char*) {}
void playSystemEffect(const char*) {}
void scheduleVoices(int, int, int, float, float) {}
void stopVoiceSchedules() {}
void soundTick(float, bool) {}
