karaoke_add_test(wav_file_open_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/wav_file_open_test.cpp
  LIBS karaoke_wav)
