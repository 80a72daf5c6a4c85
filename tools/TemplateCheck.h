#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "start/Catalogues.h"
#include "templates/Vorlage.h"

// The template author's check before a show: what in a template would make the output run
// write nothing, write something else than meant, or refuse a line.
namespace zelmo::tool {

struct Befund {
    std::size_t zeile = 0;  // template line from 1
    std::string text;
};

// Every finding, line by line, in column order. Empty when the template is clean.
std::vector<Befund> VorlagePruefen(const Vorlage& vorlage, const start::Catalogues& kataloge);

}  // namespace zelmo::tool
