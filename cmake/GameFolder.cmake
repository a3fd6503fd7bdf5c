# Files of the game folder are registered from anywhere in the tree; `gamefolder` builds them all.
# A custom command's output must be claimed by a target of its own directory, so every
# registration makes a small target there.
define_property(GLOBAL PROPERTY TM_GAME_TARGETS BRIEF_DOCS "game folder targets" FULL_DOCS "targets that make game folder files")

function(tm_game_target_for name)
  string(MAKE_C_IDENTIFIER "gamefile_${name}" target)
  set(${ARGV1} ${target} PARENT_SCOPE)
endfunction()

# tm_game_file(<relative path in the game folder> <source file>): copy a file into the game folder.
function(tm_game_file rel src)
  set(out ${TM_GAME_DIR}/${rel})
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E copy ${src} ${out}
    DEPENDS ${src} VERBATIM)
  tm_game_output(${rel} ${out})
endfunction()

# tm_game_output(<name> <absolute output> ...): files that a custom command of the caller's
# directory makes; <name> names the target that builds them.
function(tm_game_output name)
  tm_game_target_for(${name} target)
  add_custom_target(${target} DEPENDS ${ARGN})
  set_property(GLOBAL APPEND PROPERTY TM_GAME_TARGETS ${target})
endfunction()

# tm_game_folders(<relative folder> ...): empty folders the game expects.
function(tm_game_folders)
  foreach(d ${ARGN})
    file(MAKE_DIRECTORY ${TM_GAME_DIR}/${d})
  endforeach()
endfunction()

function(tm_finish_game_folder)
  get_property(targets GLOBAL PROPERTY TM_GAME_TARGETS)
  add_custom_target(gamefolder ALL)
  if(targets)
    add_dependencies(gamefolder ${targets})
  endif()
endfunction()
