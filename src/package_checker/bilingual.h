// A statement of the checker's report in both its languages.
#pragma once

#include <string>

struct Bilingual {
    std::string Chinese;
    std::string English;
};
