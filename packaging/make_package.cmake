# Builds the add-in package; run as a script by the addin-package target.
# Inputs: ADDIN (this build's add-in), EXTRA_DIRS, VERSION, STAGE, OUTPUT,
# STRIP (binutils' strip, which reads ELF and PE alike; empty to ship as built).

file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${STAGE})

# Every binary the package may hold, with what the manifest says of it.
set(candidates
  "libAddInKorvant64.so|Linux|x86_64"
  "libAddInKorvant.so|Linux|i386"
  "AddInKorvant64.dll|Windows|x86_64"
  "AddInKorvant.dll|Windows|i386")

get_filename_component(addin_dir ${ADDIN} DIRECTORY)
set(components "")
foreach(candidate ${candidates})
  string(REPLACE "|" ";" fields ${candidate})
  list(GET fields 0 name)
  list(GET fields 1 os)
  list(GET fields 2 arch)
  set(found "")
  foreach(dir ${addin_dir} ${EXTRA_DIRS})
    if(NOT found AND EXISTS ${dir}/${name})
      set(found ${dir}/${name})
    endif()
  endforeach()
  if(found)
    file(COPY ${found} DESTINATION ${STAGE})
    # Debug information stays with the build (for reading crash reports); the
    # cash desk gets the binary without it, several times smaller.
    if(STRIP)
      execute_process(COMMAND ${STRIP} --strip-debug ${STAGE}/${name} RESULT_VARIABLE failed)
      if(failed)
        message(FATAL_ERROR "could not strip ${name}")
      endif()
    endif()
    string(APPEND components "  <component os=\"${os}\" path=\"${name}\" type=\"native\" arch=\"${arch}\"/>\n")
  endif()
endforeach()

file(WRITE ${STAGE}/MANIFEST.XML
"<?xml version=\"1.0\" encoding=\"UTF-8\"?>
<bundle xmlns=\"http://v8.1c.ru/8.2/addin/bundle\">
${components}</bundle>
")
# INFO.XML is what 1C's equipment library reads when it installs the driver from
# this file. It keeps what follows the first dot of progid as the driver's
# identifier and later creates "AddIn.<the name it attached the ZIP under>.<identifier>",
# so the identifier is the class the add-in answers in GetClassNames. The type
# is the equipment type's name in Cyrillic (older library versions look the
# enumeration up by that name), and the version must fit the 16 characters the
# library stores.
string(LENGTH "${VERSION}" version_length)
if(version_length EQUAL 0 OR version_length GREATER 16)
  message(FATAL_ERROR "the version \"${VERSION}\" must have 1 to 16 characters")
endif()
file(WRITE ${STAGE}/INFO.XML
"<?xml version=\"1.0\" encoding=\"UTF-8\"?>
<drivers>
  <component progid=\"AddIn.AddInKorvant\" name=\"Korvant-21F\" version=\"${VERSION}\" type=\"ККТ\"/>
</drivers>
")

file(GLOB staged RELATIVE ${STAGE} ${STAGE}/*)
file(REMOVE ${OUTPUT})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${OUTPUT} --format=zip ${staged}
  WORKING_DIRECTORY ${STAGE} RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "could not write ${OUTPUT}")
endif()
message(STATUS "Package: ${OUTPUT}")
