# cmake -DSOURCE=<looks folder> -DTARGET=<staged Looks folder> -P StageLooks.cmake
# Copies our looks (*.ini) into the staged Looks folder and removes staged looks that are no
# longer ours, so that a look taken out of the source leaves no stale copy behind. The folder's
# sub-folders (Mine/, the user's own) are never touched.
file(GLOB sources "${SOURCE}/*.ini")
file(GLOB staged "${TARGET}/*.ini")
file(MAKE_DIRECTORY "${TARGET}")
foreach(file IN LISTS staged)
  get_filename_component(name "${file}" NAME)
  if(NOT EXISTS "${SOURCE}/${name}")
    file(REMOVE "${file}")
  endif()
endforeach()
file(COPY ${sources} DESTINATION "${TARGET}")
