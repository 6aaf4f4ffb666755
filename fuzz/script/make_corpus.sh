#!/bin/sh
# Seeds for fuzz_script: small libraries that use every family of commands.
set -e
out=${1:?usage: make_corpus.sh DIR}
mkdir -p "$out"
printf '___script a\r\n$int.new i $while $int.smallerthan i 5 $run b $string.set s "x ""y""" $showmessage hello\r\n___end\r\n___script b $int.add i 1 $str.set.find.add s z $cycle 1 3 $jump L .label L $int.random.range i 6 1 .end ___end' > "$out/loops"
printf '___script a $goto b $start $load $inventory.add lamp 2 $inventory.GetItemCount lamp n $inventory.Use lamp $exit ___end' > "$out/pages"
printf '___script a $int.set x $7FFFFFFF $int.multiple x x $int.div x -1 $int.mod x 0 $string.get s hello $sleep -1 $sleep 100 end ___end' > "$out/faults"
printf '___SCRIPT "two words" $int.set.find.add 3 $int.set.CantFind 3 $string.split.int s x $run "two words" ___END ___script a $run "two words" ___end' > "$out/recursion"
printf '___script a $action.SetState a 0 0 $form.SetSize 100 200 $player.playtrack x $player.playsound y $plugin.init z ___end' > "$out/others"
