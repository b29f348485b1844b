core/tarelia_schema_autogen/timestamp: \
  /work/main/core/CMakeLists.txt \
  /work/main/core/schema/Schema.cpp \
  /work/main/core/schema/Schema.h \
  /usr/bin/cmake
