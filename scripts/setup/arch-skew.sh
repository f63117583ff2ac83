# Finds, before apt-get does, the libraries that two architectures cannot
# both have: a Multi-Arch: same package must be at one version on every
# architecture it is installed for. Sourced by install-deps.sh, and by its
# test for skew_decide alone.
#
# A mirror caught mid-sync, or a security update that reached one
# architecture first, leaves the native architecture's index ahead of the
# foreign one; apt then says only "held broken packages".

# skew_decide: reads one package a line,
#   NAME NATIVE_INSTALLED NATIVE_CANDIDATE NATIVE_OFFERED FOREIGN_INSTALLED FOREIGN_CANDIDATE FOREIGN_OFFERED
# ("-" for none; OFFERED is the versions the indexes offer, comma-separated),
# and writes one line for each package whose two architectures cannot
# agree:
#   NAME NATIVE_INSTALLED NATIVE_CANDIDATE FOREIGN_INSTALLED FOREIGN_CANDIDATE COMMON
# where COMMON is the newest version both indexes offer that is no newer
# than either candidate (so never one of a suite such as backports, which
# apt takes only when asked), "-" where there is none. A package
# installed on both is in step already. Otherwise apt installs the new one
# at its candidate and takes its installed twin to the twin's candidate
# too ("not in sync with its M-A:same sibling"), so the two candidates
# must be one version.
skew_decide() {
  local name n_inst n_cand n_off f_inst f_cand f_off
  while read -r name n_inst n_cand n_off f_inst f_cand f_off; do
    [[ -n $name ]] || continue
    [[ $n_inst != - && $f_inst != - ]] && continue
    [[ $n_cand != - && $n_cand == "$f_cand" ]] && continue
    echo "$name $n_inst $n_cand $f_inst $f_cand $(_skew_common "$n_off" "$f_off" "$n_cand" "$f_cand")"
  done
}

_skew_common() {
  local best=- a b
  for a in ${1//,/ }; do
    for b in ${2//,/ }; do
      [[ $a == "$b" && $a != - ]] || continue
      _skew_at_most "$a" "$3" && _skew_at_most "$a" "$4" || continue
      if [[ $best == - ]] || dpkg --compare-versions "$a" gt "$best"; then best=$a; fi
    done
  done
  echo "$best"
}

_skew_at_most() { [[ $2 == - ]] || dpkg --compare-versions "$1" le "$2"; }

# skew_rows NATIVE FOREIGN PACKAGE...: the lines skew_decide reads, for
# every Multi-Arch: same package of the FOREIGN architecture that
# installing PACKAGE... would pull in, and whose NATIVE twin is installed
# or pulled in too.
skew_rows() {
  local native=$1 foreign=$2
  shift 2
  local -A pulled=()
  local name
  while read -r name; do pulled[$name]=1; done < <(
    apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts --no-breaks \
      --no-replaces --no-enhances "${@%%/*}" 2>/dev/null | _skew_closure "${@%%/*}")
  local -A installed=()
  local key version
  while read -r key version; do installed[$key]=$version; done < <(
    dpkg-query -W -f='${db:Status-Abbrev} ${Package}:${Architecture} ${Version}\n' 2>/dev/null |
      awk '$1 ~ /^[ih]i/ { print $2, $3 }')
  local names=()
  for name in "${!pulled[@]}"; do
    [[ $name == *":$foreign" ]] || continue
    name=${name%:"$foreign"}
    [[ -n ${pulled[$name]:-}${pulled[$name:$native]:-}${installed[$name:$native]:-} ]] && names+=("$name")
  done
  [[ ${#names[@]} -gt 0 ]] || return 0
  # Every version the indexes hold, and the candidates, as apt's records;
  # then one line a package, Multi-Arch: same on the foreign side.
  local both=()
  for name in "${names[@]}"; do both+=("$name:$native" "$name:$foreign"); done
  {
    apt-cache show "${both[@]}" 2>/dev/null | _skew_records 'f != ""' | sed 's/^/O /'
    apt-cache show --no-all-versions "${both[@]}" 2>/dev/null | _skew_records 1 | sed 's/^/C /'
    for name in "${names[@]}"; do
      echo "N $name ${installed[$name:$native]:--} ${installed[$name:$foreign]:--}"
    done
  } | awk -v n="$native" -v f="$foreign" '
    $1 == "O" && !seen[$2, $3, $4]++ { offered[$2, $3] = offered[$2, $3] (offered[$2, $3] == "" ? "" : ",") $4 }
    $1 == "C" { candidate[$2, $3] = $4; multi[$2, $3] = $5 }
    $1 == "N" { order[++count] = $2; inst[$2, n] = $3; inst[$2, f] = $4 }
    function or_none(x) { return x == "" ? "-" : x }
    END {
      for (i = 1; i <= count; i++) {
        p = order[i]
        if (multi[p, f] != "same") continue
        print p, inst[p, n], or_none(candidate[p, n]), or_none(offered[p, n]),
          inst[p, f], or_none(candidate[p, f]), or_none(offered[p, f])
      }
    }'
}

# The packages that PACKAGE... pull in, from apt-cache depends --recurse:
# of a set of alternatives the first, of a virtual package its first
# provider of the same architecture (else its first), as apt's resolver
# mostly takes them; apt-cache itself walks every alternative and provider.
_skew_closure() {
  awk -v wanted="$*" '
    function arch(x) { return x ~ /:/ && x !~ /:any$/ ? substr(x, index(x, ":")) : "" }
    function edge(x) { if (x != "") deps[node] = deps[node] " " x }
    function flush() { edge(provider); virtual = provider = "" }
    /^[^ ]/ { flush(); node = $1; alternative = 0; next }
    /^ [ |][A-Za-z-]+: / {
      flush()
      if (!alternative) {
        if ($2 ~ /^</) virtual = substr($2, 2, length($2) - 2)
        else edge($2)
      }
      alternative = ($0 ~ /^ \|/)
      next
    }
    /^    / && virtual != "" {
      if (provider == "" || (arch($1) == arch(virtual) && arch(provider) != arch(virtual))) provider = $1
    }
    END {
      flush()
      n = split(wanted, queue, " ")
      for (i = 1; i <= n; i++) seen[queue[i]] = 1
      for (i = 1; i <= n; i++) {
        print queue[i]
        m = split(deps[queue[i]], next_ones, " ")
        for (j = 1; j <= m; j++) if (!seen[next_ones[j]]++) queue[++n] = next_ones[j]
      }
    }'
}

# apt's records as lines: PACKAGE ARCHITECTURE VERSION MULTI-ARCH, those
# for which the awk condition on f (the Filename field) holds.
_skew_records() {
  awk -v RS= -F '\n' '{
    p = a = v = m = f = ""
    for (i = 1; i <= NF; i++) {
      if ($i ~ /^Package: /) p = substr($i, 10)
      else if ($i ~ /^Architecture: /) a = substr($i, 15)
      else if ($i ~ /^Version: /) v = substr($i, 10)
      else if ($i ~ /^Multi-Arch: /) m = substr($i, 13)
      else if ($i ~ /^Filename: /) f = substr($i, 11)
    }
    if ('"$1"') print p, a, v, (m == "" ? "no" : m)
  }'
}

# skew_missing_indexes NATIVE FOREIGN: "SUITE COMPONENT" for each index of
# the native architecture that has no twin of the foreign one (its download
# failed).
skew_missing_indexes() {
  apt-get indextargets --format '$(CREATED_BY) $(SITE) $(RELEASE) $(COMPONENT) $(ARCHITECTURE)' 2>/dev/null |
    awk -v n="$1" -v f="$2" '$1 == "Packages" { have[$2 " " $3 " " $4 " " $5] = 1 }
      END { for (k in have) { split(k, w, " "); if (w[4] == n && !have[w[1] " " w[2] " " w[3] " " f]) print w[2], w[3] } }'
}

# report_skew NATIVE FOREIGN SKEWED: what skew_decide found, why, and the
# two ways on, for a person.
report_skew() {
  local native=$1 foreign=$2 name n_inst n_cand f_inst f_cand common missing
  echo "These libraries must be at one version for $native and $foreign (Multi-Arch: same)," \
    "and apt's indexes give them none that both can take:"
  while read -r name n_inst n_cand f_inst f_cand common; do
    echo "  $name: $native $(_skew_state "$n_inst" "$n_cand"); $foreign $(_skew_state "$f_inst" "$f_cand")"
  done <<<"$3"
  missing=$(skew_missing_indexes "$native" "$foreign" | sed 's/ /, component /' | paste -sd ';' -)
  if [[ -n $missing ]]; then
    echo "Why: the $foreign index of ${missing//;/ and of } did not arrive (apt-get update failed for it)," \
      "so $foreign is offered only older versions."
  else
    echo "Why: every index arrived, and the archive has $foreign behind $native for these."
  fi
  echo "Nothing was installed. Either wait until the mirror has both and run this again, or align the two" \
    "at the newest version both offer, taking installed ones back: run it again with ALLOW_DOWNGRADE=1" \
    "(as make variable or in the environment)."
}

_skew_state() {
  if [[ $1 == - ]]; then
    echo "${2/#-/none} offered"
  elif [[ $2 == - || $2 == "$1" ]]; then
    echo "$1 installed"
  else
    echo "$1 installed, $2 offered"
  fi
}

# align_skew NATIVE FOREIGN SKEWED: the apt-get arguments that install both
# architectures of each package at COMMON; says which are taken back to an
# older version than installed, and fails where there is no COMMON.
align_skew() {
  local native=$1 foreign=$2 name n_inst n_cand f_inst f_cand common failed=0 arch installed
  while read -r name n_inst n_cand f_inst f_cand common; do
    if [[ $common == - ]]; then
      echo "$name: no version is offered for both $native and $foreign; it cannot be aligned" >&2
      failed=1
      continue
    fi
    for arch in "$native" "$foreign"; do
      installed=$n_inst
      [[ $arch == "$foreign" ]] && installed=$f_inst
      if [[ $installed != - ]] && dpkg --compare-versions "$common" lt "$installed"; then
        echo "Taking $name:$arch back from $installed to $common" >&2
      elif [[ $installed != "$common" ]]; then
        echo "Installing $name:$arch at $common, the newest both offer" >&2
      fi
      echo "$name:$arch=$common"
    done
  done <<<"$3"
  return $failed
}
