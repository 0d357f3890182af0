#pragma once

#include <string>

namespace pelko::gtk {

// Where PocketSphinx's US English model was installed (pocketsphinx-en-us).
std::string defaultSpeechModelDirectory();

// What the recognizer loads: a model folder laid out as pocketsphinx-en-us
// lays it out (en-us/, the acoustic model; en-us.lm.bin; cmudict-en-us.dict),
// and, when given, a JSGF grammar it listens for instead of the language model.
struct SpeechModel {
    std::string directory = defaultSpeechModelDirectory();
    std::string grammar;

    std::string acousticModel() const { return directory + "/en-us"; }
    std::string dictionary() const { return directory + "/cmudict-en-us.dict"; }
    std::string languageModel() const { return directory + "/en-us.lm.bin"; }

    // Whether every file loading needs is there and not empty. Cheap: it reads
    // nothing, so the process can ask before it shows the page.
    bool isInstalled() const;
};

}  // namespace pelko::gtk
