tests/tarelia_testsupport_autogen/timestamp: \
  /usr/share/cmake-3.25/Modules/GoogleTest.cmake \
  /work/main/tests/CMakeLists.txt \
  /work/main/tests/support/AppEnv.cpp \
  /work/main/tests/support/AppEnv.h \
  /work/main/tests/support/TestDb.cpp \
  /work/main/tests/support/TestDb.h \
  /work/main/tests/support/TestMain.cpp \
  /usr/bin/cmake
