# The WAV header reader/recorder; it reaches the recording device only through MciDevice.
add_library(karaoke_wav STATIC
  ${CMAKE_CURRENT_LIST_DIR}/wav_file_open.cpp ${CMAKE_CURRENT_LIST_DIR}/wav_file_open.h
)
target_include_directories(karaoke_wav PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(karaoke_wav PUBLIC karaoke_platform_core Qt6::Core)
