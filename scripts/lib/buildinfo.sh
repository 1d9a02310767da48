# What a download records of the system that built it, so that whoever rebuilds it later can
# set up the same one. Sourced, not run; it installs nothing and needs no git, so that the
# installer's build can use it inside a test too.

# installed_closure PKG... prints "name (= version)", sorted, for each installed package and
# everything it depends on, as Debian's .buildinfo lists its Installed-Build-Depends: for an
# alternative or a virtual package, the one installed that satisfies it. It fails, naming
# them, where some of the packages given are not installed.
installed_closure() {
  dpkg-query -W -f='${db:Status-Abbrev}\t${Package}\t${Architecture}\t${Version}\t${Provides}\t${Pre-Depends}, ${Depends}\n' |
    awk -F'\t' -v seeds="$*" -v native="$(dpkg --print-architecture)" '
      substr($1, 2, 1) != "i" { next }
      # Where a library is installed for two architectures, the build used the native one.
      ($2 in version) && $3 != native && $3 != "all" { next }
      {
        version[$2] = $4
        depends[$2] = $6
        n = split($5, provided, ",")
        for (i = 1; i <= n; i++) {
          name = bare(provided[i])
          if (name != "" && !(name in provider)) provider[name] = $2
        }
      }
      function bare(relation) {
        sub(/\(.*/, "", relation)
        sub(/:[a-z0-9]+ *$/, "", relation)
        gsub(/[ \t]/, "", relation)
        return relation
      }
      function installed(name) {
        return (name in version) ? name : (name in provider) ? provider[name] : ""
      }
      function take(name) {
        if (name == "" || (name in taken)) return
        taken[name] = 1
        queue[++tail] = name
      }
      END {
        n = split(seeds, seed, " ")
        for (i = 1; i <= n; i++)
          if ((name = installed(seed[i])) == "") missing = missing " " seed[i]; else take(name)
        if (missing != "") { print "installed_closure: not installed:" missing > "/dev/stderr"; exit 1 }
        for (head = 1; head <= tail; head++) {
          m = split(depends[queue[head]], relation, ",")
          for (i = 1; i <= m; i++) {
            k = split(relation[i], alternative, "|")
            for (j = 1; j <= k; j++) {
              name = installed(bare(alternative[j]))
              if (name != "") { take(name); break }
            }
          }
        }
        for (head = 1; head <= tail; head++) print queue[head] " (= " version[queue[head]] ")"
      }' | LC_ALL=C sort
}
