#pragma once

// Stands for an empty password in PERSON.PASSW (scrambled like any password).
extern const char* const kNoPasswordMarker;
