// Reign eras: the years each reign title covers, for naming the reigns of a
// year. Texts are UTF-8 here and turned into GBK when a name is formed.
#pragma once

#include <cstdint>

struct ReignEra {
  int16_t first;  // astronomical year of the first year
  int16_t years;
  int16_t offset;  // added to the count, for eras counted on from an earlier start
  const char* dynasty;
  const char* ruler;
  const char* name;  // personal name, may be empty
  const char* title;
};

extern const ReignEra ReignEraTable[];
extern const int ReignEraCount;
