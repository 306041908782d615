// The sound request interface, forwarding to the audio subsystem.
#include "game/sound_requests_interface.h"

#include "audio/sound_requests.h"

void SoundRequests::playMusic(const char* name) {
    ::playMusic(name);
}
void SoundRequests::playLoopEffect(const char* name) {
    ::playLoopEffect(name);
}
void SoundRequests::playVoice(const char* name) {
    ::playVoice(name);
}
void SoundRequests::playEffect(const char* name) {
    ::playEffect(name);
}
void SoundRequests::playSystemEffect(const char* name) {
    ::playSystemEffect(name);
}
void SoundRequests::scheduleVoices(int channel, int first, int last, float shortest,
                                   float longest) {
    ::scheduleVoices(channel, first, last, shortest, longest);
}
void SoundRequests::stopVoiceSchedules() {
    ::stopVoiceSchedules();
}
void SoundRequests::soundTick(float seconds, bool skipping) {
    ::soundTick(seconds, skipping);
}

SoundRequests& realSoundRequests() {
    static SoundRequests instance;
    return instance;
}
