tests/tests_db_autogen/timestamp: \
  /usr/share/cmake-3.25/Modules/GoogleTest.cmake \
  /work/main/tests/CMakeLists.txt \
  /work/main/tests/db/ClientLayerTest.cpp \
  /usr/bin/cmake
