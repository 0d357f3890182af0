#include "gtk/voice/SpeechModel.h"

#include <sys/stat.h>

namespace pelko::gtk {

namespace {

bool isNonEmptyFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0;
}

}  // namespace

std::string defaultSpeechModelDirectory() { return PELKO_SPEECH_MODEL_DIR; }

bool SpeechModel::isInstalled() const {
    const std::string hmm = acousticModel();
    for (const char* file : {"mdef", "means", "variances", "transition_matrices", "noisedict"})
        if (!isNonEmptyFile(hmm + "/" + file)) return false;
    return (isNonEmptyFile(hmm + "/sendump") || isNonEmptyFile(hmm + "/mixture_weights")) &&
           isNonEmptyFile(dictionary()) && isNonEmptyFile(grammar.empty() ? languageModel() : grammar);
}

}  // namespace pelko::gtk
